#ifndef ROS2_STANDIN__TEST__DISCOVERY_READER_HPP_
#define ROS2_STANDIN__TEST__DISCOVERY_READER_HPP_

#include <dds/dds.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "raw_participant.hpp"
#include "rmw_dds_common/msg/ParticipantEntitiesInfo.h"

namespace standin_test
{

using Gid = std::array<uint8_t, 24>;

struct NodeInfo
{
  std::string node_namespace;
  std::string node_name;
  std::vector<Gid> readers;
  std::vector<Gid> writers;
};

// One "ros_discovery_info" sample, decoded, with the writer that sent it.
struct DiscoveryInfo
{
  dds_instance_handle_t publication = 0;
  Gid gid{};
  std::vector<NodeInfo> nodes;

  const NodeInfo * node(const std::string & name) const
  {
    const auto found = std::find_if(
      nodes.begin(), nodes.end(), [&name](const NodeInfo & n) { return n.node_name == name; });
    return found == nodes.end() ? nullptr : &*found;
  }
};

inline std::ostream & operator<<(std::ostream & out, const DiscoveryInfo & info)
{
  out << "{" << info.nodes.size() << " nodes:";
  for (const auto & node : info.nodes) {
    out << " [" << node.node_namespace << " " << node.node_name << " readers "
        << node.readers.size() << " writers " << node.writers.size() << "]";
  }
  return out << "}";
}

// The gid ROS 2 Humble makes of a DDS GUID: its 16 bytes, then 8 zero bytes.
inline Gid gid_of(const dds_guid_t & guid)
{
  Gid gid{};
  std::memcpy(gid.data(), guid.v, sizeof(guid.v));
  return gid;
}

// Reads "ros_discovery_info" as a ROS 2 graph tool would, with durability transient-local,
// but keeping every sample so that the tests can count republications.
class DiscoveryReader
{
public:
  explicit DiscoveryReader(dds_entity_t participant)
  {
    topic_ = dds_create_topic(
      participant, &rmw_dds_common_msg_dds__ParticipantEntitiesInfo__desc, "ros_discovery_info",
      nullptr, nullptr);
    if (topic_ < 0) {
      throw std::runtime_error(std::string("dds_create_topic: ") + dds_strretcode(topic_));
    }
    dds_qos_t * qos = dds_create_qos();
    dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
    dds_qset_durability(qos, DDS_DURABILITY_TRANSIENT_LOCAL);
    dds_qset_history(qos, DDS_HISTORY_KEEP_ALL, DDS_LENGTH_UNLIMITED);
    const dds_data_representation_id_t xcdr1 = DDS_DATA_REPRESENTATION_XCDR1;
    dds_qset_data_representation(qos, 1, &xcdr1);
    reader_ = dds_create_reader(participant, topic_, qos, nullptr);
    dds_delete_qos(qos);
    if (reader_ < 0) {
      throw std::runtime_error(std::string("dds_create_reader: ") + dds_strretcode(reader_));
    }
  }
  ~DiscoveryReader() { dds_delete(reader_); }
  DiscoveryReader(const DiscoveryReader &) = delete;
  DiscoveryReader & operator=(const DiscoveryReader &) = delete;

  // Every valid sample taken so far, oldest first.
  const std::vector<DiscoveryInfo> & samples()
  {
    take_all();
    return samples_;
  }

  // Takes samples until the latest satisfies `done`, or the deadline passes.
  std::optional<DiscoveryInfo> wait_for_latest(
    const std::function<bool(const DiscoveryInfo &)> & done,
    std::chrono::milliseconds deadline = std::chrono::seconds(30))
  {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
      take_all();
      if (!samples_.empty() && done(samples_.back())) {
        return samples_.back();
      }
      if (std::chrono::steady_clock::now() >= end) {
        return std::nullopt;
      }
      wait_for_data(reader_, std::chrono::milliseconds(100));
    }
  }

  // The latest sample, or an empty one for messages.
  DiscoveryInfo latest()
  {
    take_all();
    return samples_.empty() ? DiscoveryInfo{} : samples_.back();
  }

private:
  void take_all()
  {
    void * loaned[1] = {nullptr};
    dds_sample_info_t info{};
    while (dds_take(reader_, loaned, &info, 1, 1) == 1) {
      if (info.valid_data) {
        samples_.push_back(decode(
          *static_cast<const rmw_dds_common_msg_dds__ParticipantEntitiesInfo_ *>(loaned[0]),
          info.publication_handle));
      }
      dds_return_loan(reader_, loaned, 1);
    }
  }

  static std::vector<Gid> decode(const dds_sequence_rmw_dds_common_msg_dds__Gid_ & sequence)
  {
    std::vector<Gid> gids;
    for (uint32_t i = 0; i < sequence._length; ++i) {
      Gid gid{};
      std::memcpy(gid.data(), sequence._buffer[i].data, gid.size());
      gids.push_back(gid);
    }
    return gids;
  }

  static DiscoveryInfo decode(
    const rmw_dds_common_msg_dds__ParticipantEntitiesInfo_ & sample,
    dds_instance_handle_t publication)
  {
    DiscoveryInfo info;
    info.publication = publication;
    std::memcpy(info.gid.data(), sample.gid.data, info.gid.size());
    for (uint32_t i = 0; i < sample.node_entities_info_seq._length; ++i) {
      const auto & node = sample.node_entities_info_seq._buffer[i];
      info.nodes.push_back(
        {node.node_namespace, node.node_name, decode(node.reader_gid_seq),
         decode(node.writer_gid_seq)});
    }
    return info;
  }

  dds_entity_t topic_ = 0;
  dds_entity_t reader_ = 0;
  std::vector<DiscoveryInfo> samples_;
};

// What DDS discovery itself says about an endpoint: its GUID, its participant's, its QoS.
struct DiscoveredEndpoint
{
  dds_guid_t guid{};
  dds_guid_t participant{};
  std::shared_ptr<dds_qos_t> qos;
};

// Looks up the reader or writer of `dds_topic` through the built-in topic `builtin`
// (DDS_BUILTIN_TOPIC_DCPSPUBLICATION or ..._DCPSSUBSCRIPTION), skipping `except`'s endpoints.
inline std::optional<DiscoveredEndpoint> discover_endpoint(
  dds_entity_t participant, dds_entity_t builtin, const std::string & dds_topic,
  dds_entity_t except, std::chrono::milliseconds deadline = std::chrono::seconds(30))
{
  dds_guid_t excluded{};
  dds_get_guid(except, &excluded);
  const dds_entity_t reader = dds_create_reader(participant, builtin, nullptr, nullptr);
  if (reader < 0) {
    return std::nullopt;
  }
  std::optional<DiscoveredEndpoint> found;
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!found && std::chrono::steady_clock::now() < end) {
    void * loaned[1] = {nullptr};
    dds_sample_info_t info{};
    while (!found && dds_take(reader, loaned, &info, 1, 1) == 1) {
      const auto * endpoint = static_cast<const dds_builtintopic_endpoint_t *>(loaned[0]);
      if (
        info.valid_data && info.instance_state == DDS_IST_ALIVE &&
        dds_topic == endpoint->topic_name &&
        std::memcmp(endpoint->participant_key.v, excluded.v, sizeof(excluded.v)) != 0) {
        std::shared_ptr<dds_qos_t> qos(dds_create_qos(), dds_delete_qos);
        dds_copy_qos(qos.get(), endpoint->qos);
        found = DiscoveredEndpoint{endpoint->key, endpoint->participant_key, qos};
      }
      dds_return_loan(reader, loaned, 1);
    }
    if (!found) {
      wait_for_data(reader, std::chrono::milliseconds(100));
    }
  }
  dds_delete(reader);
  return found;
}

}  // namespace standin_test

#endif  // ROS2_STANDIN__TEST__DISCOVERY_READER_HPP_
