#include "node_parameters.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "rclcpp/exceptions/exceptions.hpp"

namespace ros2_standin
{

namespace
{

using rcl_interfaces::msg::ParameterDescriptor;
using rclcpp::ParameterValue;

// Range ends and steps compare within 100 ulp of the magnitude, as in rclcpp.
bool nearly_equal(double x, double y)
{
  return std::abs(x - y) <= std::numeric_limits<double>::epsilon() * std::abs(x + y) * 100.0;
}

std::string out_of_range(const std::string & name, const char * kind)
{
  return "Parameter {" + name + "} doesn't comply with " + kind + " range.";
}

// Empty when `value` complies with the descriptor's range (the first, as in rclcpp), rclcpp's
// reason otherwise.
std::string range_problem(
  const ParameterDescriptor & descriptor, const std::string & name, const ParameterValue & value)
{
  if (!descriptor.integer_range.empty() && value.get_type() == rclcpp::PARAMETER_INTEGER) {
    const auto & range = descriptor.integer_range.front();
    const int64_t v = value.get<int64_t>();
    if (v == range.from_value || v == range.to_value) {
      return "";
    }
    if (v < range.from_value || v > range.to_value) {
      return out_of_range(name, "integer");
    }
    // Unsigned, so that the distance never overflows.
    const uint64_t distance = static_cast<uint64_t>(v) - static_cast<uint64_t>(range.from_value);
    return range.step == 0 || distance % range.step == 0 ? "" : out_of_range(name, "integer");
  }
  if (!descriptor.floating_point_range.empty() && value.get_type() == rclcpp::PARAMETER_DOUBLE) {
    const auto & range = descriptor.floating_point_range.front();
    const double v = value.get<double>();
    if (nearly_equal(v, range.from_value) || nearly_equal(v, range.to_value)) {
      return "";
    }
    if (v < range.from_value || v > range.to_value) {
      return out_of_range(name, "floating point");
    }
    if (range.step == 0.0) {
      return "";
    }
    const double steps = std::round((v - range.from_value) / range.step);
    return nearly_equal(v, range.from_value + steps * range.step)
             ? ""
             : out_of_range(name, "floating point");
  }
  return "";
}

}  // namespace

std::map<std::string, ParameterValue> resolve_parameter_overrides(
  const std::string & fully_qualified_name, const RosArguments * global_arguments,
  const RosArguments & local_arguments, const std::vector<rclcpp::Parameter> & option_overrides)
{
  std::map<std::string, ParameterValue> values;
  if (global_arguments != nullptr) {
    global_arguments->parameter_overrides.apply_to(fully_qualified_name, values);
  }
  local_arguments.parameter_overrides.apply_to(fully_qualified_name, values);
  for (const rclcpp::Parameter & parameter : option_overrides) {
    values[parameter.get_name()] = parameter.get_parameter_value();
  }
  return values;
}

NodeParameters::NodeParameters(
  std::map<std::string, ParameterValue> overrides, bool allow_undeclared)
: overrides_(std::move(overrides)), allow_undeclared_(allow_undeclared)
{
}

const ParameterValue & NodeParameters::declare(
  const std::string & name, const ParameterValue & default_value,
  const ParameterDescriptor & descriptor, bool ignore_override)
{
  std::lock_guard<std::mutex> lock(mutex_);
  return declare_locked(
    name, rclcpp::PARAMETER_NOT_SET, default_value, descriptor, ignore_override);
}

const ParameterValue & NodeParameters::declare(
  const std::string & name, rclcpp::ParameterType type, const ParameterDescriptor & descriptor,
  bool ignore_override)
{
  if (type == rclcpp::PARAMETER_NOT_SET) {
    throw std::invalid_argument(
      "declare_parameter(): the provided parameter type cannot be rclcpp::PARAMETER_NOT_SET");
  }
  if (descriptor.dynamic_typing) {
    throw std::invalid_argument(
      "declare_parameter(): cannot declare parameter of specific type and pass descriptor "
      "with `dynamic_typing=true`");
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return declare_locked(name, type, ParameterValue(), descriptor, ignore_override);
}

const ParameterValue & NodeParameters::declare_locked(
  const std::string & name, rclcpp::ParameterType type, const ParameterValue & default_value,
  ParameterDescriptor descriptor, bool ignore_override)
{
  if (name.empty()) {
    throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
  }
  if (parameters_.count(name) != 0) {
    throw rclcpp::exceptions::ParameterAlreadyDeclaredException(
      "parameter '" + name + "' has already been declared");
  }
  if (!descriptor.dynamic_typing) {
    if (type == rclcpp::PARAMETER_NOT_SET) {
      type = default_value.get_type();
    }
    if (type == rclcpp::PARAMETER_NOT_SET) {
      throw rclcpp::exceptions::InvalidParameterTypeException(
        name, "cannot declare a statically typed parameter with an uninitialized value");
    }
    descriptor.type = type;
  }

  const auto override_value = overrides_.find(name);
  const ParameterValue & initial =
    !ignore_override && override_value != overrides_.end() ? override_value->second : default_value;
  const std::string reported_name = descriptor.name.empty() ? name : descriptor.name;
  descriptor.name = name;
  if (initial.get_type() == rclcpp::PARAMETER_NOT_SET) {
    // Declared, but without a value until one is set.
    if (descriptor.dynamic_typing) {
      descriptor.type = rclcpp::PARAMETER_NOT_SET;
    }
    return parameters_.emplace(name, Declared{initial, descriptor}).first->second.value;
  }
  if (!descriptor.dynamic_typing && descriptor.type != initial.get_type()) {
    throw rclcpp::exceptions::InvalidParameterTypeException(
      name, "Wrong parameter type, parameter {" + name + "} is of type {" +
              rclcpp::to_string(static_cast<rclcpp::ParameterType>(descriptor.type)) +
              "}, setting it to {" + rclcpp::to_string(initial.get_type()) + "} is not allowed.");
  }
  const std::string problem = range_problem(descriptor, reported_name, initial);
  if (!problem.empty()) {
    throw rclcpp::exceptions::InvalidParameterValueException(
      "parameter '" + name + "' could not be set: " + problem);
  }
  descriptor.type = initial.get_type();
  return parameters_.emplace(name, Declared{initial, descriptor}).first->second.value;
}

void NodeParameters::declare_overrides()
{
  ParameterDescriptor descriptor;
  descriptor.dynamic_typing = true;
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto & entry : overrides_) {
    if (parameters_.count(entry.first) == 0) {
      declare_locked(entry.first, rclcpp::PARAMETER_NOT_SET, entry.second, descriptor, true);
    }
  }
}

bool NodeParameters::has(const std::string & name) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return parameters_.count(name) != 0;
}

rclcpp::Parameter NodeParameters::get(const std::string & name) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = parameters_.find(name);
  if (
    found != parameters_.end() && (found->second.value.get_type() != rclcpp::PARAMETER_NOT_SET ||
                                   found->second.descriptor.dynamic_typing)) {
    return rclcpp::Parameter(name, found->second.value);
  }
  if (allow_undeclared_) {
    return rclcpp::Parameter();
  }
  if (found == parameters_.end()) {
    throw rclcpp::exceptions::ParameterNotDeclaredException(name);
  }
  throw rclcpp::exceptions::ParameterUninitializedException(name);
}

bool NodeParameters::get(const std::string & name, rclcpp::Parameter & parameter) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = parameters_.find(name);
  if (found == parameters_.end() || found->second.value.get_type() == rclcpp::PARAMETER_NOT_SET) {
    return false;
  }
  parameter = rclcpp::Parameter(name, found->second.value);
  return true;
}

}  // namespace ros2_standin
