#include "names.hpp"

#include <cctype>
#include <string>
#include <vector>

#include "rcl_errors.hpp"
#include "rclcpp/exceptions/exceptions.hpp"

namespace ros2_standin
{

namespace
{

// Limits of rmw: 255 less room for the DDS prefixes ("rt/" and the like).
constexpr size_t kTopicMaxLength = 255U - 8U;
constexpr size_t kNamespaceMaxLength = kTopicMaxLength - 2U;
constexpr size_t kNodeNameMaxLength = 255U;

// rmw_cyclonedds' prefix for ROS topics, and the module of its DDS type names.
constexpr char kTopicPrefix[] = "rt";
constexpr char kDdsModule[] = "dds_";

bool is_alnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The rules of rmw_validate_full_topic_name, worded for `noun` ("topic name", "namespace").
std::optional<NameProblem> validate_absolute_name(
  const std::string & name, const std::string & noun, size_t max_length)
{
  if (name.empty()) {
    return NameProblem{noun + " must not be empty", 0};
  }
  if (name[0] != '/') {
    return NameProblem{noun + " must be absolute, it must lead with a '/'", 0};
  }
  if (name.size() > 1 && name.back() == '/') {
    return NameProblem{noun + " must not end with a '/', unless only a '/'", name.size() - 1};
  }
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (!is_alnum(c) && c != '_' && c != '/') {
      return NameProblem{
        noun + " must not contain characters other than alphanumerics, '_', or '/'", i};
    }
  }
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] == '/' && name[i - 1] == '/') {
      return NameProblem{noun + " must not contain repeated '/'", i};
    }
    if (name[i - 1] == '/' && is_digit(name[i])) {
      return NameProblem{noun + " must not have a token that starts with a number", i};
    }
  }
  if (name.size() > max_length) {
    return NameProblem{
      noun + " should not exceed '" + std::to_string(max_length) + "'", max_length - 1};
  }
  return std::nullopt;
}

// The rules of rcl_validate_topic_name, for the name as the user wrote it.
std::optional<NameProblem> validate_topic_as_written(const std::string & topic)
{
  if (topic.empty()) {
    return NameProblem{"topic name must not be empty string", 0};
  }
  if (topic.back() == '/') {
    return NameProblem{"topic name must not end with a forward slash", topic.size() - 1};
  }
  bool in_substitution = false;
  size_t substitution_start = 0;
  for (size_t i = 0; i < topic.size(); ++i) {
    const char c = topic[i];
    if (in_substitution) {
      if (c == '}') {
        in_substitution = false;
      } else if (!is_alnum(c) && c != '_') {
        return NameProblem{
          "substitution name must not contain characters other than alphanumerics or '_'", i};
      } else if (i == substitution_start + 1 && is_digit(c)) {
        return NameProblem{"substitution name must not start with a number", i};
      }
      continue;
    }
    if (c == '{') {
      in_substitution = true;
      substitution_start = i;
    } else if (c == '}') {
      return NameProblem{"topic name must not have unmatched (unbalanced) curly braces '{}'", i};
    } else if (c == '~') {
      if (i != 0) {
        return NameProblem{
          "topic name must not have tilde '~' unless it is the first character", i};
      }
      if (topic.size() > 1 && topic[1] != '/') {
        return NameProblem{
          "topic name must not have a tilde '~' that is not followed by a forward slash '/'", 1};
      }
    } else if (!is_alnum(c) && c != '_' && c != '/') {
      return NameProblem{
        "topic name must not contain characters other than alphanumerics, '_', '~', '{', or '}'",
        i};
    } else if (is_digit(c) && (i == 0 || topic[i - 1] == '/')) {
      return NameProblem{"topic name must not have a token that starts with a number", i};
    }
  }
  if (in_substitution) {
    return NameProblem{
      "topic name must not have unmatched (unbalanced) curly braces '{}'", substitution_start};
  }
  return std::nullopt;
}

[[noreturn]] void throw_invalid_topic(const std::string & topic, const NameProblem & problem)
{
  throw rclcpp::exceptions::InvalidTopicNameError(
    topic.c_str(), problem.message.c_str(), problem.index);
}

}  // namespace

std::optional<NameProblem> validate_node_name(const std::string & name)
{
  if (name.empty()) {
    return NameProblem{"node name must not be empty", 0};
  }
  for (size_t i = 0; i < name.size(); ++i) {
    if (!is_alnum(name[i]) && name[i] != '_') {
      return NameProblem{
        "node name must not contain characters other than alphanumerics or '_'", i};
    }
  }
  if (is_digit(name[0])) {
    return NameProblem{"node name must not start with a number", 0};
  }
  if (name.size() > kNodeNameMaxLength) {
    return NameProblem{
      "node name length should not exceed '" + std::to_string(kNodeNameMaxLength) + "'",
      kNodeNameMaxLength - 1};
  }
  return std::nullopt;
}

std::optional<NameProblem> validate_topic_name(const std::string & topic)
{
  return validate_topic_as_written(topic);
}

std::optional<NameProblem> validate_namespace(const std::string & namespace_)
{
  return validate_absolute_name(namespace_, "namespace", kNamespaceMaxLength);
}

std::string absolute_namespace(const std::string & namespace_)
{
  if (namespace_.empty()) {
    return "/";
  }
  return namespace_[0] == '/' ? namespace_ : "/" + namespace_;
}

std::string fully_qualified_node_name(const std::string & node_name, const std::string & namespace_)
{
  return namespace_ == "/" ? "/" + node_name : namespace_ + "/" + node_name;
}

std::string expand_topic_name(
  const std::string & topic, const std::string & node_name, const std::string & namespace_)
{
  if (auto problem = validate_topic_as_written(topic)) {
    throw_invalid_topic(topic, *problem);
  }

  std::string expanded;
  size_t i = 0;
  if (topic[0] == '~') {
    expanded = fully_qualified_node_name(node_name, namespace_);
    i = 1;
  }
  while (i < topic.size()) {
    if (topic[i] != '{') {
      expanded += topic[i++];
      continue;
    }
    const size_t close = topic.find('}', i);
    const std::string key = topic.substr(i + 1, close - i - 1);
    if (key == "node") {
      expanded += node_name;
    } else if (key == "ns" || key == "namespace") {
      expanded += namespace_ == "/" ? "" : namespace_;
    } else {
      throw_rcl_error(
        RCL_RET_UNKNOWN_SUBSTITUTION, "failed to expand topic name",
        "unknown substitution: {" + key + "}");
    }
    i = close + 1;
  }

  if (expanded.empty() || expanded[0] != '/') {
    expanded = (namespace_ == "/" ? "/" : namespace_ + "/") + expanded;
  }
  if (auto problem = validate_absolute_name(expanded, "topic name", kTopicMaxLength)) {
    throw_invalid_topic(expanded, *problem);
  }
  return expanded;
}

std::string dds_topic_name(const std::string & ros_topic) { return kTopicPrefix + ros_topic; }

std::optional<std::string> ros_topic_name(const std::string & dds_topic)
{
  const std::string prefix = std::string(kTopicPrefix) + "/";
  if (dds_topic.compare(0, prefix.size(), prefix) != 0) {
    return std::nullopt;
  }
  return dds_topic.substr(prefix.size() - 1);
}

std::optional<std::string> dds_type_name(const std::string & ros_type)
{
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t slash = ros_type.find('/', start);
    parts.push_back(ros_type.substr(start, slash - start));
    if (slash == std::string::npos) {
      break;
    }
    start = slash + 1;
  }
  if (parts.size() < 2 || parts.size() > 3) {
    return std::nullopt;
  }
  for (const std::string & part : parts) {
    if (part.empty()) {
      return std::nullopt;
    }
  }
  // A package's messages live in its "msg" module unless the name says otherwise.
  const std::string module = parts.size() == 3 ? parts[1] : "msg";
  return parts.front() + "::" + module + "::" + kDdsModule + "::" + parts.back() + "_";
}

std::string ros_type_name(const std::string & dds_type)
{
  const std::string marker = std::string(kDdsModule) + "::";
  const size_t position = dds_type.find(marker);
  if (dds_type.empty() || dds_type.back() != '_' || position == std::string::npos) {
    return dds_type;
  }
  std::string type_namespace = dds_type.substr(0, position);
  for (size_t colons = type_namespace.find("::"); colons != std::string::npos;
       colons = type_namespace.find("::", colons + 1)) {
    type_namespace.replace(colons, 2, "/");
  }
  const size_t name_start = position + marker.size();
  return type_namespace + dds_type.substr(name_start, dds_type.size() - 1 - name_start);
}

}  // namespace ros2_standin
