// Reads the stand-in's traffic with Fast DDS, the DDS behind ROS 2 Humble's default
// middleware: a second implementation that decodes our wire format with its own type support.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "brimtale_protocol/msg/DiagnosticEventPubSubTypes.h"
#include "child_process.hpp"
#include "diagnostic_msgs/msg/DiagnosticArrayPubSubTypes.h"
#include "fastdds_loopback_participant.hpp"
#include "interop_events.hpp"
#include "rmw_dds_common/msg/ParticipantEntitiesInfoPubSubTypes.h"
#include "sample_collector.hpp"
#include "step_files.hpp"

namespace
{

namespace dds = eprosima::fastdds::dds;
namespace rtps = eprosima::fastrtps::rtps;
using EventType = brimtale_protocol::msg::dds_::DiagnosticEvent_PubSubType;
using DiscoveryType = rmw_dds_common::msg::dds_::ParticipantEntitiesInfo_PubSubType;
using EventCollector = interop::SampleCollector<EventType>;
using DiscoveryCollector = interop::SampleCollector<DiscoveryType>;
using DiagnosticsType = diagnostic_msgs::msg::dds_::DiagnosticArray_PubSubType;
using DiagnosticsCollector = interop::SampleCollector<DiagnosticsType>;
using Gid = std::array<uint8_t, 24>;

// Discovery, matching and delivery between two DDS implementations on a loaded machine.
constexpr std::chrono::seconds kDeadline{15};
constexpr std::chrono::seconds kChildDeadline{60};
constexpr char kDiscoveryTopic[] = "ros_discovery_info";
constexpr char kLateNode[] = "interop_late_node";

uint32_t domain_id()
{
  const char * value = std::getenv("ROS_DOMAIN_ID");
  return (value != nullptr && value[0] != '\0') ? static_cast<uint32_t>(std::stoul(value)) : 0;
}

interop::EventFields fields_of(const brimtale_protocol::msg::dds_::DiagnosticEvent_ & event)
{
  return {event.header().stamp().sec(), event.header().stamp().nanosec(),
          event.header().frame_id(),    event.event_id(),
          event.event_status(),         event.event_msg()};
}

interop::DiagnosticArrayFields fields_of(const diagnostic_msgs::msg::dds_::DiagnosticArray_ & array)
{
  interop::DiagnosticArrayFields fields{
    array.header().stamp().sec(), array.header().stamp().nanosec(), array.header().frame_id(), {}};
  for (const auto & status : array.status()) {
    interop::StatusFields status_fields{
      status.level(), status.name(), status.message(), status.hardware_id(), {}};
    for (const auto & value : status.values()) {
      status_fields.values.push_back({value.key(), value.value()});
    }
    fields.status.push_back(status_fields);
  }
  return fields;
}

// Humble's Gid: the 16-byte GUID in wire order, then 8 zero bytes.
Gid gid_of(const rtps::GUID_t & guid)
{
  Gid gid{};
  std::memcpy(gid.data(), guid.guidPrefix.value, rtps::GuidPrefix_t::size);
  std::memcpy(gid.data() + rtps::GuidPrefix_t::size, guid.entityId.value, rtps::EntityId_t::size);
  return gid;
}

// A directory for the step files, removed with them.
class StepDirectory
{
public:
  StepDirectory()
  {
    char path_template[] = "/tmp/interop_steps_XXXXXX";
    if (mkdtemp(path_template) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    path_ = path_template;
  }
  ~StepDirectory()
  {
    for (const char * step : {interop::kStepGo, interop::kStepAddNode, interop::kStepDone}) {
      unlink(interop::step_path(path_, step).c_str());
    }
    rmdir(path_.c_str());
  }
  StepDirectory(const StepDirectory &) = delete;
  StepDirectory & operator=(const StepDirectory &) = delete;

  const std::string & path() const { return path_; }

private:
  std::string path_;
};

class FastDdsInterop : public ::testing::Test
{
protected:
  void TearDown() override
  {
    if (publisher_) {
      interop::announce_step(steps_.path(), interop::kStepDone);
      EXPECT_EQ(publisher_->wait_for_exit(kChildDeadline), 0) << publisher_->output();
    }
  }

  // Starts the stand-in publisher and lets it publish once our readers have matched its
  // writers (its own side of the match it waits for itself).
  void start_publisher()
  {
    // Before our participant exists, so that the child inherits none of Fast DDS's sockets.
    publisher_ = std::make_unique<standin_test::ChildProcess>(
      std::vector<std::string>{INTEROP_STANDIN_PUBLISHER_PATH, steps_.path()});
    participant_ = std::make_unique<interop::LoopbackParticipant>(domain_id());
    dds::TypeSupport events(std::make_unique<EventType>().release());
    for (const auto & topic : interop::topics()) {
      collectors_.push_back(std::make_unique<EventCollector>());
      participant_->add_reader(
        "rt/" + topic.topic, events, interop::ros_reader_qos(10), collectors_.back().get());
    }
    participant_->add_reader(
      kDiscoveryTopic, dds::TypeSupport(std::make_unique<DiscoveryType>().release()),
      interop::discovery_reader_qos(), &discovery_);
    for (std::size_t i = 0; i < collectors_.size(); ++i) {
      ASSERT_TRUE(collectors_[i]->wait_matched(kDeadline))
        << "no stand-in writer matched on " << interop::topics()[i].topic << "; publisher said:\n"
        << publisher_->output();
    }
    ASSERT_TRUE(interop::announce_step(steps_.path(), interop::kStepGo));
  }

  // The publisher's diagnostics run instead: one reader, of /diagnostics.
  void start_diagnostics_publisher()
  {
    publisher_ = std::make_unique<standin_test::ChildProcess>(
      std::vector<std::string>{INTEROP_STANDIN_PUBLISHER_PATH, steps_.path(), "diagnostics"});
    participant_ = std::make_unique<interop::LoopbackParticipant>(domain_id());
    participant_->add_reader(
      std::string("rt") + interop::kDiagnosticsTopic,
      dds::TypeSupport(std::make_unique<DiagnosticsType>().release()), interop::ros_reader_qos(10),
      &diagnostics_);
    ASSERT_TRUE(diagnostics_.wait_matched(kDeadline))
      << "no stand-in writer matched on " << interop::kDiagnosticsTopic << "; publisher said:\n"
      << publisher_->output();
    ASSERT_TRUE(interop::announce_step(steps_.path(), interop::kStepGo));
  }

  void receive_all_events()
  {
    for (std::size_t i = 0; i < collectors_.size(); ++i) {
      const auto & expected = interop::topics()[i];
      ASSERT_TRUE(collectors_[i]->wait_for_count(expected.events.size(), kDeadline))
        << expected.topic << ": " << collectors_[i]->samples().size() << " of "
        << expected.events.size() << " events; publisher said:\n"
        << publisher_->output();
    }
  }

  // The GUID of the one writer behind each topic, in the order of interop::topics().
  std::vector<rtps::GUID_t> event_writers() const
  {
    std::vector<rtps::GUID_t> writers;
    for (const auto & collector : collectors_) {
      writers.push_back(collector->samples().front().writer);
    }
    return writers;
  }

  // Listeners first: Fast DDS may call them until the participant is gone.
  std::vector<std::unique_ptr<EventCollector>> collectors_;
  DiscoveryCollector discovery_;
  DiagnosticsCollector diagnostics_;
  std::unique_ptr<interop::LoopbackParticipant> participant_;
  StepDirectory steps_;
  std::unique_ptr<standin_test::ChildProcess> publisher_;
};

// The latest discovery sample that `writer_prefix`'s participant wrote.
std::optional<rmw_dds_common::msg::dds_::ParticipantEntitiesInfo_> latest_from(
  const std::vector<DiscoveryCollector::Sample> & samples, const rtps::GuidPrefix_t & writer_prefix)
{
  for (auto it = samples.rbegin(); it != samples.rend(); ++it) {
    if (it->writer.guidPrefix == writer_prefix) {
      return it->data;
    }
  }
  return std::nullopt;
}

std::map<std::string, rmw_dds_common::msg::dds_::NodeEntitiesInfo_> nodes_by_name(
  const rmw_dds_common::msg::dds_::ParticipantEntitiesInfo_ & info)
{
  std::map<std::string, rmw_dds_common::msg::dds_::NodeEntitiesInfo_> nodes;
  for (const auto & node : info.node_entities_info_seq()) {
    nodes[node.node_name().to_string()] = node;
  }
  return nodes;
}

std::string describe(const rmw_dds_common::msg::dds_::ParticipantEntitiesInfo_ & info)
{
  std::ostringstream text;
  for (const auto & node : info.node_entities_info_seq()) {
    text << " [" << node.node_namespace().c_str() << " " << node.node_name().c_str() << " readers "
         << node.reader_gid_seq().size() << " writers " << node.writer_gid_seq().size() << "]";
  }
  return text.str();
}

}  // namespace

TEST_F(FastDdsInterop, EventsArriveIntactOnEveryTopic)
{
  ASSERT_NO_FATAL_FAILURE(start_publisher());
  ASSERT_NO_FATAL_FAILURE(receive_all_events());

  const auto writers = event_writers();
  for (std::size_t i = 0; i < collectors_.size(); ++i) {
    const auto & expected = interop::topics()[i];
    std::vector<interop::EventFields> received;
    for (const auto & sample : collectors_[i]->samples()) {
      received.push_back(fields_of(sample.data));
      EXPECT_EQ(sample.writer, writers[i]) << expected.topic << " has a second writer";
    }
    EXPECT_EQ(received, expected.events) << expected.topic;
  }
  // One participant per context, as in ROS 2: the three nodes' writers share it.
  EXPECT_NE(writers[0], writers[1]);
  EXPECT_NE(writers[1], writers[2]);
  EXPECT_EQ(writers[0].guidPrefix, writers[1].guidPrefix);
  EXPECT_EQ(writers[0].guidPrefix, writers[2].guidPrefix);
}

TEST_F(FastDdsInterop, DiscoveryInfoNamesTheNodesAndTheirWriters)
{
  ASSERT_NO_FATAL_FAILURE(start_publisher());
  ASSERT_NO_FATAL_FAILURE(receive_all_events());
  const auto writers = event_writers();
  const rtps::GuidPrefix_t standin = writers.front().guidPrefix;
  const Gid participant_gid = gid_of(rtps::GUID_t(standin, rtps::c_EntityId_RTPSParticipant));

  // Republished on every change, a node before its publisher: wait for the sample that shows
  // all three nodes with their writers.
  const auto all_written = [&](const std::vector<DiscoveryCollector::Sample> & samples) {
    const auto info = latest_from(samples, standin);
    return info && info->node_entities_info_seq().size() >= 3 &&
           std::all_of(
             info->node_entities_info_seq().begin(), info->node_entities_info_seq().end(),
             [](const auto & node) { return !node.writer_gid_seq().empty(); });
  };
  ASSERT_TRUE(discovery_.wait_for(all_written, kDeadline))
    << discovery_.samples().size() << " discovery samples, latest from the stand-in:"
    << describe(latest_from(discovery_.samples(), standin)
                  .value_or(rmw_dds_common::msg::dds_::ParticipantEntitiesInfo_()));
  const auto info = *latest_from(discovery_.samples(), standin);
  EXPECT_EQ(info.gid().data(), participant_gid);
  const auto nodes = nodes_by_name(info);
  EXPECT_EQ(nodes.size(), 3u) << describe(info);
  for (std::size_t i = 0; i < writers.size(); ++i) {
    const auto & topic = interop::topics()[i];
    const auto node = nodes.find(topic.node);
    ASSERT_NE(node, nodes.end()) << topic.node << " missing:" << describe(info);
    EXPECT_EQ(node->second.node_namespace().to_string(), "/") << topic.node;
    EXPECT_TRUE(node->second.reader_gid_seq().empty()) << topic.node;
    ASSERT_EQ(node->second.writer_gid_seq().size(), 1u) << topic.node;
    EXPECT_EQ(node->second.writer_gid_seq()[0].data(), gid_of(writers[i])) << topic.node;
  }

  ASSERT_TRUE(interop::announce_step(steps_.path(), interop::kStepAddNode));
  // The node and then its publisher each republish: wait for the sample that shows both.
  const auto late_node_with_writer = [&](const std::vector<DiscoveryCollector::Sample> & samples) {
    const auto latest = latest_from(samples, standin);
    if (!latest) {
      return false;
    }
    const auto nodes = nodes_by_name(*latest);
    const auto late = nodes.find(kLateNode);
    return late != nodes.end() && !late->second.writer_gid_seq().empty();
  };
  ASSERT_TRUE(discovery_.wait_for(late_node_with_writer, kDeadline))
    << "not republished after a node was added; latest:"
    << describe(*latest_from(discovery_.samples(), standin));
  const auto later = nodes_by_name(*latest_from(discovery_.samples(), standin));
  EXPECT_EQ(later.size(), 4u);
  const auto late = later.find(kLateNode);
  ASSERT_NE(late, later.end());
  ASSERT_EQ(late->second.writer_gid_seq().size(), 1u);
  const Gid late_writer = late->second.writer_gid_seq()[0].data();
  // A writer of the same participant, unlike any other.
  EXPECT_TRUE(
    std::equal(standin.value, standin.value + rtps::GuidPrefix_t::size, late_writer.begin()));
  EXPECT_TRUE(
    std::all_of(late_writer.begin() + 16, late_writer.end(), [](uint8_t b) { return b == 0; }));
  for (const auto & writer : writers) {
    EXPECT_NE(late_writer, gid_of(writer));
  }
}

TEST_F(FastDdsInterop, DiagnosticArraysArriveIntact)
{
  ASSERT_NO_FATAL_FAILURE(start_diagnostics_publisher());
  const auto & expected = interop::diagnostic_arrays();
  ASSERT_TRUE(diagnostics_.wait_for_count(expected.size(), kDeadline))
    << diagnostics_.samples().size() << " of " << expected.size() << " arrays; publisher said:\n"
    << publisher_->output();
  std::vector<interop::DiagnosticArrayFields> received;
  for (const auto & sample : diagnostics_.samples()) {
    received.push_back(fields_of(sample.data));
  }
  EXPECT_EQ(received, expected);
}
