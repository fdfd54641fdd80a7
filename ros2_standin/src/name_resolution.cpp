#include "name_resolution.hpp"

#include <string>

#include "names.hpp"
#include "node_state.hpp"

namespace ros2_standin
{

RemapSources remap_sources(const NodeState & node)
{
  RemapSources sources;
  if (node.local_arguments) {
    sources.local = &node.local_arguments->remap_rules;
  }
  if (node.global_arguments) {
    sources.global = &node.global_arguments->remap_rules;
  }
  return sources;
}

std::string resolve_topic_name(const NodeState & node, const std::string & topic, bool only_expand)
{
  const std::string expanded = expand_topic_name(topic, node.name, node.namespace_);
  if (only_expand) {
    return expanded;
  }
  return remap_topic_name(remap_sources(node), expanded, node.name, node.namespace_)
    .value_or(expanded);
}

}  // namespace ros2_standin
