#include "parameter_values.hpp"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "name_lexer.hpp"

namespace ros2_standin
{

namespace
{

constexpr std::array<const char *, 11> kTrueWords = {"Y",    "y",    "yes", "Yes", "YES", "true",
                                                     "True", "TRUE", "on",  "On",  "ON"};
constexpr std::array<const char *, 11> kFalseWords = {"N",     "n",     "no",  "No",  "NO", "false",
                                                      "False", "FALSE", "off", "Off", "OFF"};

template <size_t N>
bool is_one_of(const std::string & text, const std::array<const char *, N> & words)
{
  for (const char * word : words) {
    if (text == word) {
      return true;
    }
  }
  return false;
}

std::optional<int64_t> as_integer(const std::string & text)
{
  errno = 0;
  char * end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 0);
  if (errno != 0 || text.empty() || end == text.c_str() || *end != '\0') {
    return std::nullopt;
  }
  return static_cast<int64_t>(value);
}

std::optional<double> as_double(const std::string & text)
{
  // YAML's spellings, which strtod does not read with their leading dot.
  constexpr double infinity = std::numeric_limits<double>::infinity();
  const std::array<std::pair<const char *, double>, 12> specials = {{
    {".nan", std::numeric_limits<double>::quiet_NaN()},
    {".NaN", std::numeric_limits<double>::quiet_NaN()},
    {".NAN", std::numeric_limits<double>::quiet_NaN()},
    {".inf", infinity},
    {".Inf", infinity},
    {".INF", infinity},
    {"+.inf", infinity},
    {"+.Inf", infinity},
    {"+.INF", infinity},
    {"-.inf", -infinity},
    {"-.Inf", -infinity},
    {"-.INF", -infinity},
  }};
  for (const auto & special : specials) {
    if (text == special.first) {
      return special.second;
    }
  }
  errno = 0;
  char * end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (errno != 0 || text.empty() || end == text.c_str() || *end != '\0') {
    return std::nullopt;
  }
  return value;
}

int line_of(const YAML::Node & node) { return node.Mark().line + 1; }

// yaml-cpp reads a plain "~" or "null" (in its three cases) as null, just as it reads an empty
// value. rcl takes the former for strings and rejects the latter, so look at the text itself.
std::optional<std::string> null_spelling(const YAML::Node & node, std::string_view source)
{
  const int position = node.Mark().pos;
  if (position < 0) {
    return std::nullopt;
  }
  const size_t at = static_cast<size_t>(position);
  for (const char * spelling : {"~", "null", "Null", "NULL"}) {
    const std::string_view word(spelling);
    if (source.compare(at, word.size(), word) != 0) {
      continue;
    }
    const size_t after = at + word.size();
    if (
      after == source.size() ||
      std::string_view(" \t\r\n,]}#").find(source[after]) != std::string_view::npos) {
      return std::string(word);
    }
  }
  return std::nullopt;
}

rclcpp::ParameterValue scalar_value(const YAML::Node & node, std::string_view source)
{
  if (node.IsScalar()) {
    // yaml-cpp tags every quoted (non-plain) scalar "!".
    return typed_scalar(node.Scalar(), node.Tag() == "!");
  }
  if (node.IsNull()) {
    if (auto spelling = null_spelling(node, source)) {
      return rclcpp::ParameterValue(*spelling);
    }
    throw RuleError("No value at line " + std::to_string(line_of(node)));
  }
  throw RuleError("Unknown YAML event at line " + std::to_string(line_of(node)));
}

// rcl's names of the element types in its message.
const char * element_type_name(rclcpp::ParameterType type)
{
  switch (type) {
    case rclcpp::PARAMETER_BOOL:
      return "bool";
    case rclcpp::PARAMETER_INTEGER:
      return "integer";
    case rclcpp::PARAMETER_DOUBLE:
      return "double";
    default:
      return "string";
  }
}

template <typename T>
rclcpp::ParameterValue array_of(const std::vector<rclcpp::ParameterValue> & elements)
{
  std::vector<T> values;
  values.reserve(elements.size());
  for (const auto & element : elements) {
    values.push_back(element.get<T>());
  }
  return rclcpp::ParameterValue(values);
}

rclcpp::ParameterValue sequence_value(const YAML::Node & node, std::string_view source)
{
  std::vector<rclcpp::ParameterValue> elements;
  for (const YAML::Node & element : node) {
    if (element.IsSequence() || element.IsMap()) {
      throw RuleError(
        "Sequences can only hold scalar values, at line " + std::to_string(line_of(element)));
    }
    elements.push_back(scalar_value(element, source));
    if (elements.back().get_type() != elements.front().get_type()) {
      throw RuleError(
        std::string("Sequence should be of same type. Value type '") +
        element_type_name(elements.back().get_type()) + "' do not belong at line_num " +
        std::to_string(line_of(element)));
    }
  }
  if (elements.empty()) {
    return rclcpp::ParameterValue();
  }
  switch (elements.front().get_type()) {
    case rclcpp::PARAMETER_BOOL:
      return array_of<bool>(elements);
    case rclcpp::PARAMETER_INTEGER:
      return array_of<int64_t>(elements);
    case rclcpp::PARAMETER_DOUBLE:
      return array_of<double>(elements);
    default:
      return array_of<std::string>(elements);
  }
}

}  // namespace

rclcpp::ParameterValue typed_scalar(const std::string & text, bool quoted)
{
  if (quoted) {
    return rclcpp::ParameterValue(text);
  }
  if (is_one_of(text, kTrueWords)) {
    return rclcpp::ParameterValue(true);
  }
  if (is_one_of(text, kFalseWords)) {
    return rclcpp::ParameterValue(false);
  }
  if (const auto integer = as_integer(text)) {
    return rclcpp::ParameterValue(*integer);
  }
  if (const auto floating = as_double(text)) {
    return rclcpp::ParameterValue(*floating);
  }
  return rclcpp::ParameterValue(text);
}

rclcpp::ParameterValue parameter_value_of(const YAML::Node & node, std::string_view source)
{
  return node.IsSequence() ? sequence_value(node, source) : scalar_value(node, source);
}

rclcpp::ParameterValue parse_parameter_value(const std::string & yaml)
{
  if (yaml.empty()) {
    throw RuleError("No value at line 1");
  }
  YAML::Node node;
  try {
    node = YAML::Load(yaml);
  } catch (const YAML::Exception & error) {
    throw RuleError("Error parsing an event: " + error.msg);
  }
  return parameter_value_of(node, yaml);
}

}  // namespace ros2_standin
