#pragma once

#include <string_view>

namespace kelvaron::diag_node
{

// Whether messages of `type` ("sensor_msgs/msg/LaserScan") start with a std_msgs/Header,
// from a built-in list of the common stamped types of ROS 2's standard message packages.
bool knownToStartWithHeader(std::string_view type);

}  // namespace kelvaron::diag_node
