// The plain-data graph behind "ros_discovery_info".

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "node_graph.hpp"

using ros2_standin::Gid;
using ros2_standin::NodeEntities;
using ros2_standin::NodeGraph;

namespace
{

Gid gid(uint8_t seed)
{
  Gid value{};
  for (size_t i = 0; i < 16; ++i) {
    value[i] = static_cast<uint8_t>(seed + i);
  }
  return value;
}

std::vector<std::string> names(const NodeGraph & graph)
{
  std::vector<std::string> all;
  for (const NodeEntities & node : graph.nodes()) {
    all.push_back(node.namespace_ + " " + node.name);
  }
  return all;
}

}  // namespace

TEST(NodeGraph, ListsNodesInCreationOrderWithTheirOwnEndpoints)
{
  NodeGraph graph;
  const uint64_t first = graph.add_node("/", "zeta");
  const uint64_t second = graph.add_node("/robot", "alpha");
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  ASSERT_TRUE(graph.add_writer(second, 11, gid(10)));
  ASSERT_TRUE(graph.add_writer(first, 12, gid(20)));
  ASSERT_TRUE(graph.add_reader(second, 13, gid(30)));
  ASSERT_TRUE(graph.add_writer(second, 14, gid(40)));

  const auto nodes = graph.nodes();
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].namespace_, "/");
  EXPECT_EQ(nodes[0].name, "zeta");
  EXPECT_EQ(nodes[0].writer_gids, std::vector<Gid>{gid(20)});
  EXPECT_TRUE(nodes[0].reader_gids.empty());
  EXPECT_EQ(nodes[1].namespace_, "/robot");
  EXPECT_EQ(nodes[1].name, "alpha");
  EXPECT_EQ(nodes[1].writer_gids, (std::vector<Gid>{gid(10), gid(40)}));
  EXPECT_EQ(nodes[1].reader_gids, std::vector<Gid>{gid(30)});
}

TEST(NodeGraph, RemovesExactlyTheEndpointAsked)
{
  NodeGraph graph;
  const uint64_t node = graph.add_node("/", "node");
  const uint64_t other = graph.add_node("/", "other");
  graph.add_writer(node, 1, gid(1));
  graph.add_writer(node, 2, gid(2));
  graph.add_reader(node, 3, gid(3));
  graph.add_writer(other, 4, gid(4));

  EXPECT_FALSE(graph.remove_endpoint(node, 4)) << "endpoint of another node";
  EXPECT_FALSE(graph.remove_endpoint(node, 99));
  EXPECT_TRUE(graph.remove_endpoint(node, 1));
  EXPECT_TRUE(graph.remove_endpoint(node, 3));
  EXPECT_FALSE(graph.remove_endpoint(node, 1)) << "already removed";

  const auto nodes = graph.nodes();
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].writer_gids, std::vector<Gid>{gid(2)});
  EXPECT_TRUE(nodes[0].reader_gids.empty());
  EXPECT_EQ(nodes[1].writer_gids, std::vector<Gid>{gid(4)});
}

TEST(NodeGraph, RemovedNodeTakesItsEndpointsAndItsIdStaysDead)
{
  NodeGraph graph;
  const uint64_t gone = graph.add_node("/", "gone");
  graph.add_writer(gone, 1, gid(1));
  graph.add_node("/", "kept");
  EXPECT_TRUE(graph.remove_node(gone));
  EXPECT_FALSE(graph.remove_node(gone));

  const uint64_t later = graph.add_node("/", "later");
  EXPECT_NE(later, gone);
  EXPECT_FALSE(graph.add_writer(gone, 2, gid(2)));
  EXPECT_FALSE(graph.add_reader(gone, 3, gid(3)));
  EXPECT_FALSE(graph.remove_endpoint(gone, 1));
  EXPECT_EQ(names(graph), (std::vector<std::string>{"/ kept", "/ later"}));
  EXPECT_TRUE(graph.nodes()[0].writer_gids.empty());
}

TEST(NodeGraph, ClearForgetsEveryNode)
{
  NodeGraph graph;
  const uint64_t node = graph.add_node("/", "node");
  graph.add_reader(node, 1, gid(1));
  graph.clear();
  EXPECT_TRUE(graph.nodes().empty());
  EXPECT_FALSE(graph.add_writer(node, 2, gid(2)));
  EXPECT_NE(graph.add_node("/", "again"), node) << "ids of a cleared graph must not return";
}
