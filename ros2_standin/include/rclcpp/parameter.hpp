#ifndef RCLCPP__PARAMETER_HPP_
#define RCLCPP__PARAMETER_HPP_

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "rcl_interfaces/msg/parameter_value.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

// A named parameter value, as a node holds it.
class RCLCPP_PUBLIC_TYPE Parameter
{
public:
  // No name, no value.
  RCLCPP_PUBLIC Parameter();
  RCLCPP_PUBLIC explicit Parameter(const std::string & name);
  RCLCPP_PUBLIC Parameter(const std::string & name, const ParameterValue & value);

  template <typename ValueTypeT>
  Parameter(const std::string & name, ValueTypeT value) : Parameter(name, ParameterValue(value))
  {
  }

  RCLCPP_PUBLIC bool operator==(const Parameter & rhs) const;
  RCLCPP_PUBLIC bool operator!=(const Parameter & rhs) const;

  RCLCPP_PUBLIC ParameterType get_type() const;
  RCLCPP_PUBLIC std::string get_type_name() const;
  RCLCPP_PUBLIC const std::string & get_name() const;
  RCLCPP_PUBLIC rcl_interfaces::msg::ParameterValue get_value_message() const;
  RCLCPP_PUBLIC const rclcpp::ParameterValue & get_parameter_value() const;

  // Throws ParameterTypeException for another type.
  template <ParameterType ParamT>
  decltype(auto) get_value() const
  {
    return value_.get<ParamT>();
  }

  // A copy of the value as the C++ type reads it (int64_t for int); the parameter itself for
  // rclcpp::Parameter, a copy of its value for rclcpp::ParameterValue. Throws exceptions::InvalidParameterTypeException, which names the
  // parameter, for another type.
  template <typename T>
  decltype(auto) get_value() const
  {
    try {
      if constexpr (std::is_same_v<T, Parameter>) {
        return static_cast<const Parameter &>(*this);
      } else if constexpr (std::is_same_v<T, ParameterValue>) {
        return ParameterValue(value_);
      } else {
        auto value = value_.get<T>();
        return value;
      }
    } catch (const ParameterTypeException & error) {
      throw exceptions::InvalidParameterTypeException(name_, error.what());
    }
  }

  // These throw ParameterTypeException for another type.
  RCLCPP_PUBLIC bool as_bool() const;
  RCLCPP_PUBLIC int64_t as_int() const;
  RCLCPP_PUBLIC double as_double() const;
  RCLCPP_PUBLIC const std::string & as_string() const;
  RCLCPP_PUBLIC const std::vector<uint8_t> & as_byte_array() const;
  RCLCPP_PUBLIC const std::vector<bool> & as_bool_array() const;
  RCLCPP_PUBLIC const std::vector<int64_t> & as_integer_array() const;
  RCLCPP_PUBLIC const std::vector<double> & as_double_array() const;
  RCLCPP_PUBLIC const std::vector<std::string> & as_string_array() const;

  // rclcpp::to_string of the value.
  RCLCPP_PUBLIC std::string value_to_string() const;

private:
  std::string name_;
  ParameterValue value_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_HPP_
