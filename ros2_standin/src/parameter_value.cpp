#include "rclcpp/parameter_value.hpp"

#include <ios>
#include <sstream>
#include <string>
#include <vector>

namespace rclcpp
{

namespace
{

using Message = rcl_interfaces::msg::ParameterValue;

template <ParameterType type, typename ValueT>
Message message_of(const ValueT & value)
{
  Message message;
  message.type = type;
  message.*detail::ParameterField<type>::member = value;
  return message;
}

// "[a, b]", each element streamed with `flags` (booleans as words, bytes in hex).
template <typename ElementT, typename PrintT = ElementT>
std::string array_to_string(
  const std::vector<ElementT> & values, std::ios::fmtflags flags = std::ios::dec)
{
  std::ostringstream out;
  out.setf(flags, std::ios_base::basefield | std::ios::boolalpha);
  out << std::showbase << "[";
  for (size_t i = 0; i < values.size(); ++i) {
    out << (i == 0 ? "" : ", ") << static_cast<PrintT>(values[i]);
  }
  out << "]";
  return out.str();
}

}  // namespace

ParameterValue::ParameterValue() = default;

ParameterValue::ParameterValue(const rcl_interfaces::msg::ParameterValue & value) : value_(value)
{
  if (value.type > PARAMETER_STRING_ARRAY) {
    throw std::runtime_error("Unknown value type");
  }
}

ParameterValue::ParameterValue(const bool bool_value)
: value_(message_of<PARAMETER_BOOL>(bool_value))
{
}

ParameterValue::ParameterValue(const int int_value)
: value_(message_of<PARAMETER_INTEGER>(int64_t{int_value}))
{
}

ParameterValue::ParameterValue(const int64_t int_value)
: value_(message_of<PARAMETER_INTEGER>(int_value))
{
}

ParameterValue::ParameterValue(const float double_value)
: value_(message_of<PARAMETER_DOUBLE>(static_cast<double>(double_value)))
{
}

ParameterValue::ParameterValue(const double double_value)
: value_(message_of<PARAMETER_DOUBLE>(double_value))
{
}

ParameterValue::ParameterValue(const std::string & string_value)
: value_(message_of<PARAMETER_STRING>(string_value))
{
}

ParameterValue::ParameterValue(const char * string_value)
: ParameterValue(std::string(string_value))
{
}

ParameterValue::ParameterValue(const std::vector<uint8_t> & byte_array_value)
: value_(message_of<PARAMETER_BYTE_ARRAY>(byte_array_value))
{
}

ParameterValue::ParameterValue(const std::vector<bool> & bool_array_value)
: value_(message_of<PARAMETER_BOOL_ARRAY>(bool_array_value))
{
}

ParameterValue::ParameterValue(const std::vector<int> & int_array_value)
: value_(message_of<PARAMETER_INTEGER_ARRAY>(
    std::vector<int64_t>(int_array_value.begin(), int_array_value.end())))
{
}

ParameterValue::ParameterValue(const std::vector<int64_t> & int_array_value)
: value_(message_of<PARAMETER_INTEGER_ARRAY>(int_array_value))
{
}

ParameterValue::ParameterValue(const std::vector<float> & double_array_value)
: value_(message_of<PARAMETER_DOUBLE_ARRAY>(
    std::vector<double>(double_array_value.begin(), double_array_value.end())))
{
}

ParameterValue::ParameterValue(const std::vector<double> & double_array_value)
: value_(message_of<PARAMETER_DOUBLE_ARRAY>(double_array_value))
{
}

ParameterValue::ParameterValue(const std::vector<std::string> & string_array_value)
: value_(message_of<PARAMETER_STRING_ARRAY>(string_array_value))
{
}

ParameterType ParameterValue::get_type() const { return static_cast<ParameterType>(value_.type); }

rcl_interfaces::msg::ParameterValue ParameterValue::to_value_msg() const { return value_; }

bool ParameterValue::operator==(const ParameterValue & rhs) const { return value_ == rhs.value_; }

bool ParameterValue::operator!=(const ParameterValue & rhs) const { return !(*this == rhs); }

std::string to_string(ParameterType type)
{
  switch (type) {
    case PARAMETER_NOT_SET:
      return "not set";
    case PARAMETER_BOOL:
      return "bool";
    case PARAMETER_INTEGER:
      return "integer";
    case PARAMETER_DOUBLE:
      return "double";
    case PARAMETER_STRING:
      return "string";
    case PARAMETER_BYTE_ARRAY:
      return "byte_array";
    case PARAMETER_BOOL_ARRAY:
      return "bool_array";
    case PARAMETER_INTEGER_ARRAY:
      return "integer_array";
    case PARAMETER_DOUBLE_ARRAY:
      return "double_array";
    case PARAMETER_STRING_ARRAY:
      return "string_array";
  }
  return "unknown type";
}

std::ostream & operator<<(std::ostream & os, ParameterType type) { return os << to_string(type); }

std::string to_string(const ParameterValue & value)
{
  switch (value.get_type()) {
    case PARAMETER_NOT_SET:
      return "not set";
    case PARAMETER_BOOL:
      return value.get<bool>() ? "true" : "false";
    case PARAMETER_INTEGER:
      return std::to_string(value.get<int64_t>());
    case PARAMETER_DOUBLE:
      return std::to_string(value.get<double>());
    case PARAMETER_STRING:
      return value.get<std::string>();
    case PARAMETER_BYTE_ARRAY:
      return array_to_string<uint8_t, int>(value.get<std::vector<uint8_t>>(), std::ios::hex);
    case PARAMETER_BOOL_ARRAY:
      return array_to_string(value.get<std::vector<bool>>(), std::ios::boolalpha);
    case PARAMETER_INTEGER_ARRAY:
      return array_to_string(value.get<std::vector<int64_t>>());
    case PARAMETER_DOUBLE_ARRAY:
      return array_to_string(value.get<std::vector<double>>());
    case PARAMETER_STRING_ARRAY:
      return array_to_string(value.get<std::vector<std::string>>());
  }
  return "unknown type";
}

}  // namespace rclcpp
