#ifndef ROS2_STANDIN__SRC__PARAMETER_FILE_HPP_
#define ROS2_STANDIN__SRC__PARAMETER_FILE_HPP_

#include <string>

#include "parameter_overrides.hpp"

namespace ros2_standin
{

// Adds the parameters of a file in rcl's layout to `overrides`:
//
//   /ns/talker:            # or talker, /**, /ns/*, /**/talker; nested keys join with '/'
//     ros__parameters:
//       rate: 10.0         # typed as typed_scalar does
//       limits: {low: 1}   # nested maps give dotted names: limits.low
//       ids: [1, 2]        # arrays of one type
//
// Throws RuleError worded as rcl for a file it cannot open or parse, and for a layout or node
// name it rejects.
void load_parameter_file(const std::string & path, ParameterOverrideSet & overrides);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__PARAMETER_FILE_HPP_
