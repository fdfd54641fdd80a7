#include "discovery_info.hpp"

#include <algorithm>
#include <mutex>
#include <string>

#include "context_state.hpp"
#include "dds_qos.hpp"
#include "rclcpp/qos.hpp"
#include "rmw_dds_common/msg/ParticipantEntitiesInfo.h"

namespace ros2_standin
{

namespace
{

// Not a ROS topic, hence without the "rt" prefix.
constexpr char kTopicName[] = "ros_discovery_info";

using GidSample = rmw_dds_common_msg_dds__Gid_;
using NodeSample = rmw_dds_common_msg_dds__NodeEntitiesInfo_;
using InfoSample = rmw_dds_common_msg_dds__ParticipantEntitiesInfo_;

template <size_t N>
void copy_bounded(char (&target)[N], const std::string & text)
{
  // Node names and namespaces are validated far below the bound; cut rather than overrun.
  const size_t length = std::min(text.size(), N - 1);
  std::copy_n(text.data(), length, target);
  target[length] = '\0';
}

GidSample to_sample(const Gid & gid)
{
  GidSample sample{};
  std::copy(gid.begin(), gid.end(), sample.data);
  return sample;
}

std::vector<GidSample> to_samples(const std::vector<Gid> & gids)
{
  std::vector<GidSample> samples;
  samples.reserve(gids.size());
  for (const Gid & gid : gids) {
    samples.push_back(to_sample(gid));
  }
  return samples;
}

template <typename Sequence, typename Element>
Sequence borrow(std::vector<Element> & elements)
{
  Sequence sequence{};
  sequence._maximum = static_cast<uint32_t>(elements.size());
  sequence._length = static_cast<uint32_t>(elements.size());
  sequence._buffer = elements.empty() ? nullptr : elements.data();
  sequence._release = false;  // the vectors own the memory
  return sequence;
}

}  // namespace

dds_entity_t create_discovery_writer(dds_entity_t participant)
{
  const QosPtr topic_qos = make_topic_qos();
  const dds_entity_t topic = dds_create_topic(
    participant, &rmw_dds_common_msg_dds__ParticipantEntitiesInfo__desc, kTopicName,
    topic_qos.get(), nullptr);
  if (topic < 0) {
    return topic;
  }
  const QosPtr writer_qos =
    make_endpoint_qos(rclcpp::QoS(rclcpp::KeepLast(1)).reliable().transient_local());
  const dds_entity_t writer = dds_create_writer(participant, topic, writer_qos.get(), nullptr);
  if (writer < 0) {
    dds_delete(topic);
  }
  return writer;
}

dds_return_t write_discovery_info(
  dds_entity_t writer, const Gid & participant, const std::vector<NodeEntities> & nodes)
{
  // The sample borrows these; they outlive the write.
  std::vector<std::vector<GidSample>> readers;
  std::vector<std::vector<GidSample>> writers;
  std::vector<NodeSample> node_samples(nodes.size());
  readers.reserve(nodes.size());
  writers.reserve(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    NodeSample & node = node_samples[i];
    copy_bounded(node.node_namespace, nodes[i].namespace_);
    copy_bounded(node.node_name, nodes[i].name);
    readers.push_back(to_samples(nodes[i].reader_gids));
    writers.push_back(to_samples(nodes[i].writer_gids));
    node.reader_gid_seq = borrow<dds_sequence_rmw_dds_common_msg_dds__Gid_>(readers.back());
    node.writer_gid_seq = borrow<dds_sequence_rmw_dds_common_msg_dds__Gid_>(writers.back());
  }

  InfoSample sample{};
  sample.gid = to_sample(participant);
  sample.node_entities_info_seq =
    borrow<dds_sequence_rmw_dds_common_msg_dds__NodeEntitiesInfo_>(node_samples);
  return dds_write(writer, &sample);
}

void publish_discovery_info(ContextState & context)
{
  publish_discovery_info(context, [](const DiscoverySnapshot & snapshot) {
    // Graph information is a courtesy to tools: its failure must not fail the user's node,
    // publisher or subscription.
    (void)write_discovery_info(snapshot.writer, snapshot.participant, snapshot.nodes);
  });
}

void publish_discovery_info(
  ContextState & context, const std::function<void(const DiscoverySnapshot &)> & write)
{
  // Held from the copy of the graph to the end of the write: samples leave in the order of the
  // changes, so the last one shows the latest graph; shutdown takes it too, so it never deletes
  // the writer underneath a write. The context's own mutex, which publishing user messages
  // needs, is held only for the copy.
  std::lock_guard<std::mutex> order(context.discovery_mutex);
  DiscoverySnapshot snapshot;
  {
    std::lock_guard<std::mutex> lock(context.mutex);
    if (!context.valid || context.dds.discovery_writer <= 0) {
      return;
    }
    snapshot.writer = context.dds.discovery_writer;
    snapshot.participant = context.dds.gid;
    snapshot.nodes = context.graph.nodes();
  }
  write(snapshot);
}

}  // namespace ros2_standin
