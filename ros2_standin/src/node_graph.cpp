#include "node_graph.hpp"

#include <algorithm>

namespace ros2_standin
{

namespace
{

template <typename Endpoints>
bool erase_handle(Endpoints & endpoints, int32_t handle)
{
  const auto found = std::find_if(
    endpoints.begin(), endpoints.end(),
    [handle](const auto & endpoint) { return endpoint.handle == handle; });
  if (found == endpoints.end()) {
    return false;
  }
  endpoints.erase(found);
  return true;
}

template <typename Endpoints>
std::vector<Gid> gids_of(const Endpoints & endpoints)
{
  std::vector<Gid> gids;
  gids.reserve(endpoints.size());
  for (const auto & endpoint : endpoints) {
    gids.push_back(endpoint.gid);
  }
  return gids;
}

}  // namespace

uint64_t NodeGraph::add_node(const std::string & namespace_, const std::string & name)
{
  const uint64_t id = ++last_id_;
  nodes_.emplace(id, Node{namespace_, name, {}, {}});
  return id;
}

bool NodeGraph::remove_node(uint64_t node) { return nodes_.erase(node) > 0; }

bool NodeGraph::add_reader(uint64_t node, int32_t reader, const Gid & gid)
{
  const auto found = nodes_.find(node);
  if (found == nodes_.end()) {
    return false;
  }
  found->second.readers.push_back({reader, gid});
  return true;
}

bool NodeGraph::add_writer(uint64_t node, int32_t writer, const Gid & gid)
{
  const auto found = nodes_.find(node);
  if (found == nodes_.end()) {
    return false;
  }
  found->second.writers.push_back({writer, gid});
  return true;
}

bool NodeGraph::remove_endpoint(uint64_t node, int32_t endpoint)
{
  const auto found = nodes_.find(node);
  if (found == nodes_.end()) {
    return false;
  }
  return erase_handle(found->second.readers, endpoint) ||
         erase_handle(found->second.writers, endpoint);
}

void NodeGraph::clear() { nodes_.clear(); }

std::vector<NodeEntities> NodeGraph::nodes() const
{
  std::vector<NodeEntities> all;
  all.reserve(nodes_.size());
  for (const auto & entry : nodes_) {
    const Node & node = entry.second;
    all.push_back({node.namespace_, node.name, gids_of(node.readers), gids_of(node.writers)});
  }
  return all;
}

}  // namespace ros2_standin
