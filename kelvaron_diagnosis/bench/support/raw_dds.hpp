#pragma once

// Cyclone DDS used directly, as the baseline the library's publications are measured against:
// the stand-in's loopback domain configuration and ROS_DOMAIN_ID, its QoS mapping of QoS(10),
// the DDS topic "rt/<name>" and the DiagnosticEvent type compiled from the same IDL.

#include <dds/dds.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <std_msgs/msg/header.hpp>

#include "brimtale_protocol/msg/DiagnosticEvent.h"

namespace kelvaron_bench
{

// One participant of its own, in the domain the stand-in uses.
class RawParticipant
{
public:
  RawParticipant();
  ~RawParticipant();
  RawParticipant(const RawParticipant &) = delete;
  RawParticipant & operator=(const RawParticipant &) = delete;

  dds_entity_t get() const { return participant_; }

private:
  dds_entity_t domain_{0};
  dds_entity_t participant_{0};
};

// A DiagnosticEvent sample that owns its strings.
class EventSample
{
public:
  EventSample(
    const std_msgs::msg::Header & header, int32_t event_id, int32_t event_status,
    std::string event_msg);
  EventSample(const EventSample & other);
  EventSample & operator=(const EventSample &) = delete;

  const brimtale_protocol_msg_dds__DiagnosticEvent_ & sample() const { return sample_; }

private:
  void pointAtOwnStrings();

  std::string frame_id_;
  std::string event_msg_;
  brimtale_protocol_msg_dds__DiagnosticEvent_ sample_{};
};

// A writer or reader of DiagnosticEvent on the ROS topic `ros_topic`, with QoS(10).
class RawEndpoint
{
public:
  enum class Kind
  {
    kWriter,
    kReader
  };
  RawEndpoint(const RawParticipant & participant, const std::string & ros_topic, Kind kind);
  ~RawEndpoint();
  RawEndpoint(const RawEndpoint &) = delete;
  RawEndpoint & operator=(const RawEndpoint &) = delete;

  dds_return_t write(const EventSample & event) const
  {
    return dds_write(endpoint_, &event.sample());
  }
  // Matched remote endpoints: readers for a writer, writers for a reader.
  uint32_t matched() const;
  bool waitMatched(uint32_t count, std::chrono::milliseconds timeout) const;

private:
  Kind kind_;
  dds_entity_t topic_{0};
  dds_entity_t endpoint_{0};
};

}  // namespace kelvaron_bench
