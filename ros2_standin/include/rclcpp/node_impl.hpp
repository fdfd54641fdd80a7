#ifndef RCLCPP__NODE_IMPL_HPP_
#define RCLCPP__NODE_IMPL_HPP_

#include <string>

#include "rclcpp/exceptions/exceptions.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

// The parameter templates of rclcpp::Node.
namespace rclcpp
{

template <typename ParameterT>
auto Node::declare_parameter(
  const std::string & name, const ParameterT & default_value,
  const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  try {
    return declare_parameter(
             name, rclcpp::ParameterValue(default_value), parameter_descriptor, ignore_override)
      .template get<ParameterT>();
  } catch (const ParameterTypeException & error) {
    throw exceptions::InvalidParameterTypeException(name, error.what());
  }
}

template <typename ParameterT>
auto Node::declare_parameter(
  const std::string & name, const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor,
  bool ignore_override)
{
  // ParameterValue knows which parameter type ParameterT is.
  const rclcpp::ParameterType type = rclcpp::ParameterValue(ParameterT{}).get_type();
  try {
    return declare_parameter(name, type, parameter_descriptor, ignore_override)
      .template get<ParameterT>();
  } catch (const ParameterTypeException &) {
    throw exceptions::UninitializedStaticallyTypedParameterException(name);
  }
}

template <typename ParameterT>
bool Node::get_parameter(const std::string & name, ParameterT & parameter) const
{
  rclcpp::Parameter found;
  const bool result = get_parameter(name, found);
  if (result) {
    parameter = static_cast<ParameterT>(found.get_value<ParameterT>());
  }
  return result;
}

template <typename ParameterT>
bool Node::get_parameter_or(
  const std::string & name, ParameterT & parameter, const ParameterT & alternative_value) const
{
  const bool result = get_parameter(name, parameter);
  if (!result) {
    parameter = alternative_value;
  }
  return result;
}

template <typename ParameterT>
ParameterT Node::get_parameter_or(
  const std::string & name, const ParameterT & alternative_value) const
{
  ParameterT parameter;
  get_parameter_or(name, parameter, alternative_value);
  return parameter;
}

}  // namespace rclcpp

#endif  // RCLCPP__NODE_IMPL_HPP_
