#ifndef ROS2_STANDIN__SRC__REMAP_RULES_HPP_
#define ROS2_STANDIN__SRC__REMAP_RULES_HPP_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ros2_standin/visibility_control.hpp"

// Internal; exported only so that the tests can exercise it.
namespace ros2_standin
{

// One -r rule: "[node:]from:=to", "[node:]__node:=name" or "[node:]__ns:=/namespace".
struct RemapRule
{
  enum class Kind
  {
    Name,      // a topic or service name
    NodeName,  // __node (or __name)
    Namespace  // __ns
  };
  Kind kind = Kind::Name;
  // For names: "rostopic://" limits a rule to topics, "rosservice://" to services.
  bool topics = true;
  bool services = true;
  // The rule applies only to the node of this name; empty for every node.
  std::string node_name;
  // The name matched, as written ("~/scan", "chatter"): expanded against each node.
  std::string match;
  // The new name, namespace or node name, as written.
  std::string replacement;
};

// Parses a rule as rcl does; throws RuleError worded as rcl for one it rejects, including the
// wildcards and back-references rcl does not implement.
ROS2_STANDIN_PUBLIC RemapRule parse_remap_rule(std::string_view text);

// rcl's rules of application: the first rule that applies wins, a node's own rules (`local`)
// before the context's (`global`, null when the node ignores them). Nothing when no rule applies.
struct RemapSources
{
  const std::vector<RemapRule> * local = nullptr;
  const std::vector<RemapRule> * global = nullptr;
};

ROS2_STANDIN_PUBLIC std::optional<std::string> remap_node_name(
  const RemapSources & rules, const std::string & node_name);

// `node_name` is the name after remap_node_name.
ROS2_STANDIN_PUBLIC std::optional<std::string> remap_namespace(
  const RemapSources & rules, const std::string & node_name);

// For an expanded topic name: a rule matches when its own expansion against the node is the
// same name; the replacement comes back expanded. Throws as expand_topic_name for a replacement
// that does not expand.
ROS2_STANDIN_PUBLIC std::optional<std::string> remap_topic_name(
  const RemapSources & rules, const std::string & expanded_topic, const std::string & node_name,
  const std::string & namespace_);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__REMAP_RULES_HPP_
