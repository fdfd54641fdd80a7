#ifndef RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_
#define RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/floating_point_range.hpp"
#include "rcl_interfaces/msg/integer_range.hpp"
#include "rcl_interfaces/msg/parameter_type.hpp"

namespace rcl_interfaces
{
namespace msg
{

// rcl_interfaces/msg/ParameterDescriptor as a plain struct. Of the ranges, at most one element
// each counts, as in rclcpp.
struct ParameterDescriptor
{
  std::string name;
  uint8_t type = ParameterType::PARAMETER_NOT_SET;
  std::string description;
  std::string additional_constraints;
  bool read_only = false;
  bool dynamic_typing = false;
  std::vector<FloatingPointRange> floating_point_range;
  std::vector<IntegerRange> integer_range;
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_
