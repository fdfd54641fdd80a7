#ifndef RCL_INTERFACES__MSG__PARAMETER_VALUE_HPP_
#define RCL_INTERFACES__MSG__PARAMETER_VALUE_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter_type.hpp"

namespace rcl_interfaces
{
namespace msg
{

// The fields of rcl_interfaces/msg/ParameterValue: `type` says which one holds the value.
// A plain struct; the stand-in never sends the message.
struct ParameterValue
{
  uint8_t type = ParameterType::PARAMETER_NOT_SET;
  bool bool_value = false;
  int64_t integer_value = 0;
  double double_value = 0.0;
  std::string string_value;
  std::vector<uint8_t> byte_array_value;
  std::vector<bool> bool_array_value;
  std::vector<int64_t> integer_array_value;
  std::vector<double> double_array_value;
  std::vector<std::string> string_array_value;

  bool operator==(const ParameterValue & other) const
  {
    return type == other.type && bool_value == other.bool_value &&
           integer_value == other.integer_value && double_value == other.double_value &&
           string_value == other.string_value && byte_array_value == other.byte_array_value &&
           bool_array_value == other.bool_array_value &&
           integer_array_value == other.integer_array_value &&
           double_array_value == other.double_array_value &&
           string_array_value == other.string_array_value;
  }
  bool operator!=(const ParameterValue & other) const { return !(*this == other); }
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__PARAMETER_VALUE_HPP_
