#ifndef RCLCPP__PARAMETER_VALUE_HPP_
#define RCLCPP__PARAMETER_VALUE_HPP_

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

enum ParameterType : uint8_t
{
  PARAMETER_NOT_SET = rcl_interfaces::msg::ParameterType::PARAMETER_NOT_SET,
  PARAMETER_BOOL = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL,
  PARAMETER_INTEGER = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER,
  PARAMETER_DOUBLE = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE,
  PARAMETER_STRING = rcl_interfaces::msg::ParameterType::PARAMETER_STRING,
  PARAMETER_BYTE_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_BYTE_ARRAY,
  PARAMETER_BOOL_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_BOOL_ARRAY,
  PARAMETER_INTEGER_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER_ARRAY,
  PARAMETER_DOUBLE_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE_ARRAY,
  PARAMETER_STRING_ARRAY = rcl_interfaces::msg::ParameterType::PARAMETER_STRING_ARRAY,
};

// "not set", "bool", "integer", ..., "string_array"; "unknown type" for anything else.
RCLCPP_PUBLIC
std::string to_string(ParameterType type);

RCLCPP_PUBLIC
std::ostream & operator<<(std::ostream & os, ParameterType type);

class RCLCPP_PUBLIC_TYPE ParameterTypeException : public std::runtime_error
{
public:
  ParameterTypeException(ParameterType expected, ParameterType actual)
  : std::runtime_error("expected [" + to_string(expected) + "] got [" + to_string(actual) + "]")
  {
  }
};

namespace detail
{

// Which field of the message holds a value of each type.
template <ParameterType type>
struct ParameterField;

#define RCLCPP_STANDIN_PARAMETER_FIELD(TYPE, CPP_TYPE, FIELD)            \
  template <>                                                            \
  struct ParameterField<TYPE>                                            \
  {                                                                      \
    using Type = CPP_TYPE;                                               \
    static constexpr Type rcl_interfaces::msg::ParameterValue::*member = \
      &rcl_interfaces::msg::ParameterValue::FIELD;                       \
  };

RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_BOOL, bool, bool_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_INTEGER, int64_t, integer_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_DOUBLE, double, double_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_STRING, std::string, string_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_BYTE_ARRAY, std::vector<uint8_t>, byte_array_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_BOOL_ARRAY, std::vector<bool>, bool_array_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_INTEGER_ARRAY, std::vector<int64_t>, integer_array_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_DOUBLE_ARRAY, std::vector<double>, double_array_value)
RCLCPP_STANDIN_PARAMETER_FIELD(PARAMETER_STRING_ARRAY, std::vector<std::string>, string_array_value)

#undef RCLCPP_STANDIN_PARAMETER_FIELD

template <typename T>
struct dependent_false_type : std::false_type
{
};

// The parameter type a C++ type reads as, with rclcpp's rules: any integral type but bool is an
// integer, any floating point type a double, anything convertible to std::string a string.
template <typename T>
constexpr ParameterType parameter_type_of()
{
  if constexpr (std::is_same_v<T, bool>) {
    return PARAMETER_BOOL;
  } else if constexpr (std::is_integral_v<T>) {
    return PARAMETER_INTEGER;
  } else if constexpr (std::is_floating_point_v<T>) {
    return PARAMETER_DOUBLE;
  } else if constexpr (std::is_convertible_v<T, std::string>) {
    return PARAMETER_STRING;
  } else if constexpr (std::is_convertible_v<T, const std::vector<uint8_t> &>) {
    return PARAMETER_BYTE_ARRAY;
  } else if constexpr (std::is_convertible_v<T, const std::vector<bool> &>) {
    return PARAMETER_BOOL_ARRAY;
  } else if constexpr (
    std::is_convertible_v<T, const std::vector<int> &> ||
    std::is_convertible_v<T, const std::vector<int64_t> &>) {
    return PARAMETER_INTEGER_ARRAY;
  } else if constexpr (
    std::is_convertible_v<T, const std::vector<float> &> ||
    std::is_convertible_v<T, const std::vector<double> &>) {
    return PARAMETER_DOUBLE_ARRAY;
  } else if constexpr (std::is_convertible_v<T, const std::vector<std::string> &>) {
    return PARAMETER_STRING_ARRAY;
  } else {
    static_assert(dependent_false_type<T>::value, "type is not a parameter type");
    return PARAMETER_NOT_SET;
  }
}

}  // namespace detail

// One value of any parameter type, or none (PARAMETER_NOT_SET).
class RCLCPP_PUBLIC_TYPE ParameterValue
{
public:
  RCLCPP_PUBLIC ParameterValue();
  // Throws std::runtime_error for a type outside ParameterType.
  RCLCPP_PUBLIC explicit ParameterValue(const rcl_interfaces::msg::ParameterValue & value);
  RCLCPP_PUBLIC explicit ParameterValue(const bool bool_value);
  RCLCPP_PUBLIC explicit ParameterValue(const int int_value);
  RCLCPP_PUBLIC explicit ParameterValue(const int64_t int_value);
  RCLCPP_PUBLIC explicit ParameterValue(const float double_value);
  RCLCPP_PUBLIC explicit ParameterValue(const double double_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::string & string_value);
  RCLCPP_PUBLIC explicit ParameterValue(const char * string_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::vector<uint8_t> & byte_array_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::vector<bool> & bool_array_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::vector<int> & int_array_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::vector<int64_t> & int_array_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::vector<float> & double_array_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::vector<double> & double_array_value);
  RCLCPP_PUBLIC explicit ParameterValue(const std::vector<std::string> & string_array_value);

  RCLCPP_PUBLIC ParameterType get_type() const;

  RCLCPP_PUBLIC rcl_interfaces::msg::ParameterValue to_value_msg() const;

  RCLCPP_PUBLIC bool operator==(const ParameterValue & rhs) const;
  RCLCPP_PUBLIC bool operator!=(const ParameterValue & rhs) const;

  // The value as the given parameter type; throws ParameterTypeException for another type.
  template <ParameterType type>
  const typename detail::ParameterField<type>::Type & get() const
  {
    if (get_type() != type) {
      throw ParameterTypeException(type, get_type());
    }
    return value_.*detail::ParameterField<type>::member;
  }

  // The same for the parameter type a C++ type reads as: get<int>() is the int64_t value,
  // get<std::vector<int>>() the std::vector<int64_t>.
  template <typename type>
  const auto & get() const
  {
    return get<detail::parameter_type_of<type>()>();
  }

private:
  rcl_interfaces::msg::ParameterValue value_;
};

// The value as rclcpp prints it: "true", "42", "2.500000", the string itself, "[1, 2]".
RCLCPP_PUBLIC
std::string to_string(const ParameterValue & type);

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_VALUE_HPP_
