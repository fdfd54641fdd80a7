#pragma once

#include <optional>
#include <string>

namespace kelvaron::diag_node
{

// Whether messages of `type` start with a std_msgs/Header, from the type's introspection data
// where ROS 2 is installed; nothing where it is not (or the type's package is missing).
std::optional<bool> introspectStartsWithHeader(const std::string & type);

}  // namespace kelvaron::diag_node
