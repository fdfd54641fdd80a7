// "ros_discovery_info" as a plain Cyclone DDS program reads it: how ROS 2 graph tools learn
// which nodes a participant hosts and which readers and writers belong to each. The GUIDs the
// samples must carry come from DDS discovery itself, not from the stand-in.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "discovery_reader.hpp"
#include "raw_participant.hpp"
#include "rclcpp/rclcpp.hpp"

using brimtale_protocol::msg::DiagnosticEvent;
using standin_test::DiscoveryInfo;
using standin_test::DiscoveryReader;
using standin_test::Gid;
using standin_test::NodeInfo;
using standin_test::RawParticipant;

namespace
{

struct NodeTopic
{
  const char * node;
  const char * topic;
};

// The library's three publishing nodes.
constexpr std::array<NodeTopic, 3> kLibraryNodes{{
  {"diagnosis_Sensor_Proxy_node", "sensor_proxy_diag_topic"},
  {"diagnosis_Chassis_PnC_node", "chassis_pnc_diag_topic"},
  {"diagnosis_Chassis_Loc_node", "chassis_loc_diag_topic"},
}};

Gid gid_of(const rmw_gid_t & gid)
{
  Gid value{};
  std::memcpy(value.data(), gid.data, value.size());
  return value;
}

auto has_nodes(size_t count)
{
  return [count](const DiscoveryInfo & info) { return info.nodes.size() == count; };
}

// The three library nodes, each with its writer: a node republishes before its publisher does.
bool library_graph(const DiscoveryInfo & info)
{
  return info.nodes.size() == kLibraryNodes.size() &&
         std::all_of(kLibraryNodes.begin(), kLibraryNodes.end(), [&info](const NodeTopic & entry) {
           const NodeInfo * node = info.node(entry.node);
           return node != nullptr && node->writers.size() == 1;
         });
}

auto writers_of(const std::string & node, size_t count)
{
  return [node, count](const DiscoveryInfo & info) {
    const NodeInfo * found = info.node(node);
    return found != nullptr && found->writers.size() == count;
  };
}

class DiscoveryInfoTopic : public ::testing::Test
{
protected:
  void SetUp() override { context_->init(0, nullptr); }
  void TearDown() override { context_->shutdown("test done"); }

  rclcpp::NodeOptions options() const { return rclcpp::NodeOptions().context(context_); }

  void create_library_nodes()
  {
    for (const auto & entry : kLibraryNodes) {
      nodes_.push_back(std::make_shared<rclcpp::Node>(entry.node, options()));
      publishers_.push_back(
        nodes_.back()->create_publisher<DiagnosticEvent>(entry.topic, rclcpp::QoS(10)));
    }
  }

  // What DDS discovery reports for the stand-in's endpoint on DDS topic `dds_topic`.
  standin_test::DiscoveredEndpoint discovered(dds_entity_t builtin, const std::string & dds_topic)
  {
    const auto endpoint =
      standin_test::discover_endpoint(raw_.get(), builtin, dds_topic, raw_.get());
    if (!endpoint) {
      ADD_FAILURE() << "DDS discovery shows no endpoint on " << dds_topic;
      return {};
    }
    return *endpoint;
  }

  RawParticipant raw_;
  DiscoveryReader reader_{raw_.get()};
  rclcpp::Context::SharedPtr context_ = rclcpp::Context::make_shared();
  std::vector<rclcpp::Node::SharedPtr> nodes_;
  std::vector<rclcpp::Publisher<DiagnosticEvent>::SharedPtr> publishers_;
};

}  // namespace

TEST_F(DiscoveryInfoTopic, NamesTheLibraryNodesAndTheirWriters)
{
  create_library_nodes();
  const auto info = reader_.wait_for_latest(library_graph);
  ASSERT_TRUE(info) << "latest: " << reader_.latest();

  for (size_t i = 0; i < kLibraryNodes.size(); ++i) {
    const auto writer =
      discovered(DDS_BUILTIN_TOPIC_DCPSPUBLICATION, std::string("rt/") + kLibraryNodes[i].topic);
    const NodeInfo * node = info->node(kLibraryNodes[i].node);
    ASSERT_NE(node, nullptr) << kLibraryNodes[i].node << " missing from " << *info;
    EXPECT_EQ(node->node_namespace, "/");
    EXPECT_TRUE(node->readers.empty());
    ASSERT_EQ(node->writers.size(), 1u) << *info;
    EXPECT_EQ(node->writers[0], standin_test::gid_of(writer.guid)) << kLibraryNodes[i].node;
    EXPECT_EQ(node->writers[0], gid_of(publishers_[i]->get_gid())) << kLibraryNodes[i].node;
    EXPECT_EQ(info->gid, standin_test::gid_of(writer.participant))
      << "not the writers' participant";
  }
  // A participant's GUID: entity id 0x000001c1 after the 12-byte prefix, then Humble's zeros.
  EXPECT_EQ(info->gid[12], 0x00);
  EXPECT_EQ(info->gid[13], 0x00);
  EXPECT_EQ(info->gid[14], 0x01);
  EXPECT_EQ(info->gid[15], 0xc1);
  for (size_t i = 16; i < info->gid.size(); ++i) {
    EXPECT_EQ(info->gid[i], 0) << "byte " << i;
  }
}

TEST_F(DiscoveryInfoTopic, RepublishedWhenANodeIsAdded)
{
  create_library_nodes();
  ASSERT_TRUE(reader_.wait_for_latest(library_graph)) << "latest: " << reader_.latest();
  const size_t before = reader_.samples().size();

  auto late = std::make_shared<rclcpp::Node>("late_node", "robot_a", options());
  const auto info = reader_.wait_for_latest(has_nodes(4));
  ASSERT_TRUE(info) << "not republished; latest: " << reader_.latest();
  EXPECT_GT(reader_.samples().size(), before);
  const NodeInfo * node = info->node("late_node");
  ASSERT_NE(node, nullptr) << *info;
  EXPECT_EQ(node->node_namespace, "/robot_a");
  EXPECT_TRUE(node->writers.empty());
  for (const auto & entry : kLibraryNodes) {
    ASSERT_NE(info->node(entry.node), nullptr) << *info;
    EXPECT_EQ(info->node(entry.node)->writers.size(), 1u) << entry.node;
  }
}

TEST_F(DiscoveryInfoTopic, RepublishedWhenAPublisherOrANodeGoes)
{
  create_library_nodes();
  ASSERT_TRUE(reader_.wait_for_latest(library_graph)) << "latest: " << reader_.latest();
  const Gid loc_writer = gid_of(publishers_[2]->get_gid());

  publishers_[1].reset();
  auto info = reader_.wait_for_latest(writers_of("diagnosis_Chassis_PnC_node", 0));
  ASSERT_TRUE(info) << "publisher still listed; latest: " << reader_.latest();
  EXPECT_EQ(info->nodes.size(), 3u) << *info;

  nodes_[1].reset();
  info = reader_.wait_for_latest(has_nodes(2));
  ASSERT_TRUE(info) << "node still listed; latest: " << reader_.latest();
  EXPECT_EQ(info->node("diagnosis_Chassis_PnC_node"), nullptr);

  // As in rclcpp, a node lives on while a publisher of it does.
  nodes_[2].reset();
  publishers_[0].reset();
  info = reader_.wait_for_latest(writers_of("diagnosis_Sensor_Proxy_node", 0));
  ASSERT_TRUE(info) << "latest: " << reader_.latest();
  const NodeInfo * loc = info->node("diagnosis_Chassis_Loc_node");
  ASSERT_NE(loc, nullptr) << "node gone with its publisher still alive: " << *info;
  EXPECT_EQ(loc->writers, std::vector<Gid>{loc_writer});

  publishers_[2].reset();
  info = reader_.wait_for_latest(has_nodes(1));
  ASSERT_TRUE(info) << "latest: " << reader_.latest();
  EXPECT_NE(info->node("diagnosis_Sensor_Proxy_node"), nullptr) << *info;
}

TEST_F(DiscoveryInfoTopic, ListsReadersWithTheirGuids)
{
  auto node = std::make_shared<rclcpp::Node>("listener_node", options());
  auto subscription = node->create_subscription<DiagnosticEvent>(
    "chassis_pnc_diag_topic", rclcpp::QoS(10), [](const DiagnosticEvent &) {});
  const auto has_reader = [](const DiscoveryInfo & info) {
    const NodeInfo * found = info.node("listener_node");
    return found != nullptr && found->readers.size() == 1;
  };
  const auto info = reader_.wait_for_latest(has_reader);
  ASSERT_TRUE(info) << "latest: " << reader_.latest();
  const auto reader = discovered(DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION, "rt/chassis_pnc_diag_topic");
  EXPECT_EQ(info->node("listener_node")->readers[0], standin_test::gid_of(reader.guid));
  EXPECT_TRUE(info->node("listener_node")->writers.empty());

  subscription.reset();
  const auto after = reader_.wait_for_latest([](const DiscoveryInfo & latest) {
    const NodeInfo * found = latest.node("listener_node");
    return found != nullptr && found->readers.empty();
  });
  EXPECT_TRUE(after) << "reader still listed; latest: " << reader_.latest();
}

TEST_F(DiscoveryInfoTopic, WriterIsReliableTransientLocalKeepLastOneXcdr1)
{
  // The writer exists from init on, before any node.
  const auto writer = discovered(DDS_BUILTIN_TOPIC_DCPSPUBLICATION, "ros_discovery_info");
  ASSERT_TRUE(writer.qos);
  dds_reliability_kind_t reliability{};
  ASSERT_TRUE(dds_qget_reliability(writer.qos.get(), &reliability, nullptr));
  EXPECT_EQ(reliability, DDS_RELIABILITY_RELIABLE);
  dds_durability_kind_t durability{};
  ASSERT_TRUE(dds_qget_durability(writer.qos.get(), &durability));
  EXPECT_EQ(durability, DDS_DURABILITY_TRANSIENT_LOCAL);
  dds_history_kind_t history{};
  int32_t depth = 0;
  ASSERT_TRUE(dds_qget_history(writer.qos.get(), &history, &depth));
  EXPECT_EQ(history, DDS_HISTORY_KEEP_LAST);
  EXPECT_EQ(depth, 1);
  uint32_t representations = 0;
  dds_data_representation_id_t * ids = nullptr;
  ASSERT_TRUE(dds_qget_data_representation(writer.qos.get(), &representations, &ids));
  ASSERT_EQ(representations, 1u);
  EXPECT_EQ(ids[0], DDS_DATA_REPRESENTATION_XCDR1);
  dds_free(ids);
}

TEST_F(DiscoveryInfoTopic, LateReaderGetsTheCurrentGraph)
{
  create_library_nodes();
  ASSERT_TRUE(reader_.wait_for_latest(library_graph)) << "latest: " << reader_.latest();

  // A graph tool started now learns the graph as it is, not as it began.
  DiscoveryReader late(raw_.get());
  ASSERT_TRUE(late.wait_for_latest([](const DiscoveryInfo &) { return true; }))
    << "transient-local history missing";
  EXPECT_EQ(late.samples().front().nodes.size(), 3u) << late.samples().front();
}

TEST_F(DiscoveryInfoTopic, ConcurrentChangesEndInTheFinalGraph)
{
  constexpr int kThreads = 4;
  constexpr int kRounds = 10;
  std::vector<rclcpp::Node::SharedPtr> workers;
  std::vector<rclcpp::Publisher<DiagnosticEvent>::SharedPtr> kept(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    workers.push_back(std::make_shared<rclcpp::Node>("worker_" + std::to_string(t), options()));
  }
  // Every change republishes the whole graph; whatever the interleaving, the last sample must
  // show the graph as it ended.
  const auto final_graph = [&](const DiscoveryInfo & info) {
    if (info.nodes.size() != static_cast<size_t>(kThreads)) {
      return false;
    }
    for (int t = 0; t < kThreads; ++t) {
      const NodeInfo * node = info.node("worker_" + std::to_string(t));
      if (node == nullptr || node->writers != std::vector<Gid>{gid_of(kept[t]->get_gid())}) {
        return false;
      }
    }
    return true;
  };

  for (int round = 0; round < kRounds; ++round) {
    // Released together, so that their changes (and republications) overlap.
    std::atomic_bool go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        while (!go) {
          std::this_thread::yield();
        }
        auto passing = std::make_shared<rclcpp::Node>("passing_" + std::to_string(t), options());
        auto replacement = workers[t]->create_publisher<DiagnosticEvent>(
          "worker_topic_" + std::to_string(t), rclcpp::QoS(10));
        kept[t] = replacement;
      });
    }
    go = true;
    for (auto & thread : threads) {
      thread.join();
    }
    ASSERT_TRUE(reader_.wait_for_latest(final_graph))
      << "round " << round << ", latest: " << reader_.latest();
  }
}

TEST_F(DiscoveryInfoTopic, NothingAfterShutdownAndAFreshGraphAfterInit)
{
  create_library_nodes();
  const auto before = reader_.wait_for_latest(library_graph);
  ASSERT_TRUE(before) << "latest: " << reader_.latest();
  const size_t seen = reader_.samples().size();

  ASSERT_TRUE(context_->shutdown("test"));
  // On a live context each of these would republish.
  publishers_.clear();
  nodes_.clear();

  context_->init(0, nullptr);
  auto fresh = std::make_shared<rclcpp::Node>("fresh_node", options());
  const auto after = reader_.wait_for_latest(
    [&before](const DiscoveryInfo & info) { return info.gid != before->gid; });
  ASSERT_TRUE(after) << "nothing from the new participant; latest: " << reader_.latest();
  ASSERT_EQ(after->nodes.size(), 1u) << "graph of the earlier initialisation survived: " << *after;
  EXPECT_EQ(after->nodes[0].node_name, "fresh_node");

  const auto & all = reader_.samples();
  for (size_t i = seen; i < all.size(); ++i) {
    EXPECT_NE(all[i].gid, before->gid) << "sample " << i << " after shutdown: " << all[i];
  }
}
