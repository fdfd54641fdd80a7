#include "parameter_overrides.hpp"

#include <algorithm>
#include <regex>
#include <string>

#include "rclcpp/exceptions/exceptions.hpp"

namespace ros2_standin
{

void ParameterOverrideSet::set(
  const std::string & node_pattern, const std::string & name, const rclcpp::ParameterValue & value)
{
  auto group = std::find_if(groups_.begin(), groups_.end(), [&node_pattern](const Group & known) {
    return known.node_pattern == node_pattern;
  });
  if (group == groups_.end()) {
    group = groups_.insert(groups_.end(), Group{node_pattern, {}});
  }
  auto & parameters = group->parameters;
  auto parameter = std::find_if(parameters.begin(), parameters.end(), [&name](const auto & known) {
    return known.first == name;
  });
  if (parameter == parameters.end()) {
    parameters.emplace_back(name, value);
  } else {
    parameter->second = value;
  }
}

void ParameterOverrideSet::apply_to(
  const std::string & fully_qualified_name,
  std::map<std::string, rclcpp::ParameterValue> & values) const
{
  for (const Group & group : groups_) {
    if (!node_pattern_matches(group.node_pattern, fully_qualified_name)) {
      continue;
    }
    for (const auto & parameter : group.parameters) {
      if (parameter.second.get_type() == rclcpp::PARAMETER_NOT_SET) {
        throw rclcpp::exceptions::InvalidParameterValueException("No parameter value set");
      }
      values[parameter.first] = parameter.second;
    }
  }
}

bool node_pattern_matches(
  const std::string & node_pattern, const std::string & fully_qualified_name)
{
  const std::string absolute =
    node_pattern.empty() || node_pattern[0] != '/' ? "/" + node_pattern : node_pattern;
  // Names hold only word characters besides the slashes, so the rest may stand in a regex as
  // it is; each "/*" becomes one level, which "/**" then repeats.
  std::string expression;
  for (size_t i = 0; i < absolute.size(); ++i) {
    if (absolute.compare(i, 2, "/*") == 0) {
      expression += "(/\\w+)";
      ++i;
    } else {
      expression += absolute[i];
    }
  }
  try {
    return std::regex_match(fully_qualified_name, std::regex(expression));
  } catch (const std::regex_error &) {
    return false;
  }
}

}  // namespace ros2_standin
