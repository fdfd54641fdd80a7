#ifndef ROS2_STANDIN__SRC__NODE_GRAPH_HPP_
#define ROS2_STANDIN__SRC__NODE_GRAPH_HPP_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gid.hpp"
#include "ros2_standin/visibility_control.hpp"

// Internal; exported only so that the tests can exercise it.
namespace ros2_standin
{

// One node as ROS 2 graph tools see it.
struct NodeEntities
{
  std::string namespace_;
  std::string name;
  std::vector<Gid> reader_gids;
  std::vector<Gid> writer_gids;
};

// The nodes of one participant with their readers and writers: plain data, so that a copy can
// be published without holding anything that owns a node or an endpoint. Not synchronised.
class ROS2_STANDIN_PUBLIC NodeGraph
{
public:
  // Returns the id that names the node in the calls below; never 0.
  uint64_t add_node(const std::string & namespace_, const std::string & name);
  // False when the node is unknown.
  bool remove_node(uint64_t node);

  // Endpoints are known by their DDS handle. False when the node is unknown.
  bool add_reader(uint64_t node, int32_t reader, const Gid & gid);
  bool add_writer(uint64_t node, int32_t writer, const Gid & gid);
  // False when the node or the endpoint is unknown.
  bool remove_endpoint(uint64_t node, int32_t endpoint);

  void clear();

  // In the order the nodes were added, their endpoints likewise.
  std::vector<NodeEntities> nodes() const;

private:
  struct Endpoint
  {
    int32_t handle;
    Gid gid;
  };
  struct Node
  {
    std::string namespace_;
    std::string name;
    std::vector<Endpoint> readers;
    std::vector<Endpoint> writers;
  };

  // Ids grow, so the map's order is the order of creation.
  std::map<uint64_t, Node> nodes_;
  uint64_t last_id_ = 0;
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__NODE_GRAPH_HPP_
