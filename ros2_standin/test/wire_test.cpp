// The wire seen by a plain Cyclone DDS program (no stand-in code on this side of the wire):
// ROS 2 Humble's topic and type names, XCDR1 bytes in ROS 2's CDR layout, QoS and user data.

#include <dds/dds.h>
#include <dds/ddsi/ddsi_serdata.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "brimtale_protocol/msg/DiagnosticEvent.h"
#include "child_process.hpp"
#include "diagnostic_msgs/msg/DiagnosticArray.h"
#include "raw_participant.hpp"
#include "sample_events.hpp"
#include "wait_until.hpp"

using standin_test::ChildProcess;
using standin_test::RawParticipant;
using standin_test::sample_diagnostics;
using standin_test::sample_event;

namespace
{

constexpr std::chrono::seconds kChildDeadline{60};

// One DDS topic on a raw participant.
class RawTopic : public ::testing::Test
{
protected:
  void create_topic(const dds_topic_descriptor_t & descriptor, const char * name)
  {
    topic_ = dds_create_topic(raw_.get(), &descriptor, name, nullptr, nullptr);
    ASSERT_GT(topic_, 0) << dds_strretcode(topic_);
  }

  dds_entity_t make_reader()
  {
    dds_qos_t * qos = RawParticipant::ros_qos();
    const dds_entity_t reader = dds_create_reader(raw_.get(), topic_, qos, nullptr);
    dds_delete_qos(qos);
    return reader;
  }

  RawParticipant raw_;
  dds_entity_t topic_ = 0;
};

class Wire : public RawTopic
{
protected:
  void SetUp() override
  {
    create_topic(brimtale_protocol_msg_dds__DiagnosticEvent__desc, standin_test::kDdsTopic);
  }

  // Takes samples until `count` valid ones arrived or the deadline passed.
  std::vector<brimtale_protocol::msg::DiagnosticEvent> take_events(
    dds_entity_t reader, size_t count)
  {
    std::vector<brimtale_protocol::msg::DiagnosticEvent> events;
    const auto end = std::chrono::steady_clock::now() + kChildDeadline;
    while (events.size() < count && std::chrono::steady_clock::now() < end) {
      standin_test::wait_for_data(reader, std::chrono::milliseconds(200));
      void * samples[1] = {nullptr};
      dds_sample_info_t info{};
      while (dds_take(reader, samples, &info, 1, 1) == 1) {
        if (info.valid_data) {
          const auto & sample =
            *static_cast<const brimtale_protocol_msg_dds__DiagnosticEvent_ *>(samples[0]);
          brimtale_protocol::msg::DiagnosticEvent event;
          event.header.stamp.sec = sample.header.stamp.sec;
          event.header.stamp.nanosec = sample.header.stamp.nanosec;
          event.header.frame_id = sample.header.frame_id;
          event.event_id = sample.event_id;
          event.event_status = sample.event_status;
          event.event_msg = sample.event_msg;
          events.push_back(event);
        }
        dds_return_loan(reader, samples, 1);
      }
    }
    return events;
  }
};

class WireDiagnostics : public RawTopic
{
protected:
  void SetUp() override
  {
    create_topic(
      diagnostic_msgs_msg_dds__DiagnosticArray__desc, standin_test::kDiagnosticsDdsTopic);
  }
};

// By hand, as a foreign node would: the library's conversion is not what is under test.
diagnostic_msgs::msg::DiagnosticArray to_message(
  const diagnostic_msgs_msg_dds__DiagnosticArray_ & sample)
{
  diagnostic_msgs::msg::DiagnosticArray array;
  array.header.stamp.sec = sample.header.stamp.sec;
  array.header.stamp.nanosec = sample.header.stamp.nanosec;
  array.header.frame_id = sample.header.frame_id;
  for (uint32_t i = 0; i < sample.status._length; ++i) {
    const auto & in = sample.status._buffer[i];
    diagnostic_msgs::msg::DiagnosticStatus status;
    status.level = in.level;
    status.name = in.name;
    status.message = in.message;
    status.hardware_id = in.hardware_id;
    for (uint32_t j = 0; j < in.values._length; ++j) {
      status.values.push_back(
        standin_test::key_value(in.values._buffer[j].key, in.values._buffer[j].value));
    }
    array.status.push_back(status);
  }
  return array;
}

// The serialised form of the next sample, as it travelled.
std::vector<unsigned char> take_cdr(dds_entity_t reader)
{
  ddsi_serdata * serdata = nullptr;
  dds_sample_info_t info{};
  if (dds_takecdr(reader, &serdata, 1, &info, DDS_ANY_STATE) != 1) {
    return {};
  }
  const uint32_t size = ddsi_serdata_size(serdata);
  std::vector<unsigned char> bytes(size);
  ddsi_serdata_to_ser(serdata, 0, size, bytes.data());
  ddsi_serdata_unref(serdata);
  return info.valid_data ? bytes : std::vector<unsigned char>();
}

// The byte image ROS 2 gives sample_diagnostics(0), written out by hand. Offsets count from
// after the encapsulation; sequence lengths are 4-byte aligned counts, the level octets need
// no alignment.
std::vector<unsigned char> expected_cdr_of_sample_diagnostics_0()
{
  return {
    0x00, 0x01, 0x00, 0x00,              // encapsulation: CDR little-endian, no options
    0x00, 0xF1, 0x53, 0x65,              // header.stamp.sec = 1700000000
    0x15, 0xCD, 0x5B, 0x07,              // header.stamp.nanosec = 123456789
    0x06, 0x00, 0x00, 0x00,              // header.frame_id length, NUL included
    'l',  'i',  'd',  'a',  'r',  0x00,  // "lidar" and NUL
    0x00, 0x00,                          // pad: offset 18 -> 20
    0x02, 0x00, 0x00, 0x00,              // status: 2 elements
    0x01,                                // status[0].level = WARN, at offset 24
    0x00, 0x00, 0x00,                    // pad: 25 -> 28
    0x0B, 0x00, 0x00, 0x00,              // status[0].name length 11
    'l',  'i',  'd',  'a',  'r',  ':',   // "lidar: fps", offsets 32..37
    ' ',  'f',  'p',  's',  0x00,        // and NUL, 38..42
    0x00,                                // pad: 43 -> 44
    0x04, 0x00, 0x00, 0x00,              // status[0].message length 4
    'l',  'o',  'w',  0x00,              // offsets 48..51
    0x03, 0x00, 0x00, 0x00,              // status[0].hardware_id length 3
    'L',  '1',  0x00,                    // offsets 56..58
    0x00,                                // pad: 59 -> 60
    0x02, 0x00, 0x00, 0x00,              // status[0].values: 2 elements
    0x03, 0x00, 0x00, 0x00,              // values[0].key length 3
    'h',  'z',  0x00,                    // offsets 68..70
    0x00,                                // pad: 71 -> 72
    0x04, 0x00, 0x00, 0x00,              // values[0].value length 4
    '7',  '.',  '5',  0x00,              // offsets 76..79
    0x04, 0x00, 0x00, 0x00,              // values[1].key length 4
    'm',  'i',  'n',  0x00,              // offsets 84..87
    0x03, 0x00, 0x00, 0x00,              // values[1].value length 3
    '1',  '0',  0x00,                    // offsets 92..94
    0x03,                                // status[1].level = STALE at 95, no pad
    0x04, 0x00, 0x00, 0x00,              // status[1].name length 4
    'c',  'a',  'm',  0x00,              // offsets 100..103
    0x01, 0x00, 0x00, 0x00,              // status[1].message length 1: "" is a NUL
    0x00,                                // offset 108
    0x00, 0x00, 0x00,                    // pad: 109 -> 112
    0x01, 0x00, 0x00, 0x00,              // status[1].hardware_id length 1
    0x00,                                // offset 116
    0x00, 0x00, 0x00,                    // pad: 117 -> 120
    0x00, 0x00, 0x00, 0x00,              // status[1].values: none
  };
}

std::string user_data_of(const dds_qos_t * qos)
{
  void * value = nullptr;
  size_t size = 0;
  if (!dds_qget_userdata(qos, &value, &size) || value == nullptr) {
    return "";
  }
  std::string text(static_cast<const char *>(value), size);
  dds_free(value);
  return text;
}

}  // namespace

TEST_F(Wire, RawReaderGetsEveryFieldOfTheEvents)
{
  const dds_entity_t reader = make_reader();
  ASSERT_GT(reader, 0);
  ChildProcess peer({STANDIN_PEER_PATH, "publish", "2"});
  const auto events = take_events(reader, 2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], sample_event(0));
  EXPECT_EQ(events[1], sample_event(1));
  EXPECT_EQ(peer.wait_for_exit(kChildDeadline), 0);
}

TEST_F(Wire, SerialisedBytesFollowTheRos2CdrLayout)
{
  const auto expected = standin_test::expected_cdr_of_sample_event_0();
  ASSERT_EQ(expected.size(), 56u);  // the layout above, spelled out: 4 + 52

  const dds_entity_t reader = make_reader();
  ASSERT_GT(reader, 0);
  ChildProcess peer({STANDIN_PEER_PATH, "publish", "1"});
  ASSERT_TRUE(standin_test::wait_for_data(reader, kChildDeadline));
  EXPECT_EQ(take_cdr(reader), expected);
  EXPECT_EQ(peer.wait_for_exit(kChildDeadline), 0);
}

TEST_F(Wire, DiscoveryShowsRos2NamesQosAndEnclave)
{
  const dds_entity_t publications =
    dds_create_reader(raw_.get(), DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
  const dds_entity_t participants =
    dds_create_reader(raw_.get(), DDS_BUILTIN_TOPIC_DCPSPARTICIPANT, nullptr, nullptr);
  const dds_entity_t reader = make_reader();
  ASSERT_GT(reader, 0);
  ChildProcess peer({STANDIN_PEER_PATH, "publish", "1"});
  ASSERT_EQ(take_events(reader, 1).size(), 1u);

  // The writer that delivered: the one on our topic that is not ours.
  bool found = false;
  dds_guid_t writer_participant{};
  void * samples[16] = {};
  dds_sample_info_t infos[16];
  const dds_return_t count = dds_read(publications, samples, infos, 16, 16);
  for (dds_return_t i = 0; i < count; ++i) {
    const auto * endpoint = static_cast<const dds_builtintopic_endpoint_t *>(samples[i]);
    if (!infos[i].valid_data || std::string(endpoint->topic_name) != standin_test::kDdsTopic) {
      continue;
    }
    found = true;
    writer_participant = endpoint->participant_key;
    EXPECT_STREQ(endpoint->type_name, standin_test::kDdsTypeName);
    dds_reliability_kind_t reliability{};
    dds_duration_t max_blocking = 0;
    ASSERT_TRUE(dds_qget_reliability(endpoint->qos, &reliability, &max_blocking));
    EXPECT_EQ(reliability, DDS_RELIABILITY_RELIABLE);
    EXPECT_EQ(max_blocking, DDS_INFINITY);
    dds_durability_kind_t durability{};
    ASSERT_TRUE(dds_qget_durability(endpoint->qos, &durability));
    EXPECT_EQ(durability, DDS_DURABILITY_VOLATILE);
    dds_liveliness_kind_t liveliness{};
    dds_duration_t lease = 0;
    ASSERT_TRUE(dds_qget_liveliness(endpoint->qos, &liveliness, &lease));
    EXPECT_EQ(liveliness, DDS_LIVELINESS_AUTOMATIC);
    uint32_t representations = 0;
    dds_data_representation_id_t * ids = nullptr;
    ASSERT_TRUE(dds_qget_data_representation(endpoint->qos, &representations, &ids));
    ASSERT_EQ(representations, 1u);
    EXPECT_EQ(ids[0], DDS_DATA_REPRESENTATION_XCDR1);
    dds_free(ids);
  }
  dds_return_loan(publications, samples, count);
  ASSERT_TRUE(found) << "no publication on " << standin_test::kDdsTopic;

  std::string enclave;
  const dds_return_t participant_count = dds_read(participants, samples, infos, 16, 16);
  for (dds_return_t i = 0; i < participant_count; ++i) {
    const auto * participant = static_cast<const dds_builtintopic_participant_t *>(samples[i]);
    if (
      infos[i].valid_data &&
      std::memcmp(&participant->key, &writer_participant, sizeof(writer_participant)) == 0) {
      enclave = user_data_of(participant->qos);
    }
  }
  dds_return_loan(participants, samples, participant_count);
  EXPECT_EQ(enclave, "enclave=/;");
  EXPECT_EQ(peer.wait_for_exit(kChildDeadline), 0);
}

TEST_F(Wire, RawWriterReachesAStandinSubscriber)
{
  dds_qos_t * qos = RawParticipant::ros_qos();
  const dds_entity_t writer = dds_create_writer(raw_.get(), topic_, qos, nullptr);
  dds_delete_qos(qos);
  ASSERT_GT(writer, 0);
  ChildProcess peer({STANDIN_PEER_PATH, "receive", "1"});
  ASSERT_TRUE(standin_test::wait_until([&] {
    dds_publication_matched_status_t status{};
    return dds_get_publication_matched_status(writer, &status) == DDS_RETCODE_OK &&
           status.current_count > 0;
  }));

  const auto event = sample_event(5);
  brimtale_protocol_msg_dds__DiagnosticEvent_ sample{};
  sample.header.stamp.sec = event.header.stamp.sec;
  sample.header.stamp.nanosec = event.header.stamp.nanosec;
  sample.header.frame_id = const_cast<char *>(event.header.frame_id.c_str());
  sample.event_id = event.event_id;
  sample.event_status = event.event_status;
  sample.event_msg = const_cast<char *>(event.event_msg.c_str());
  ASSERT_EQ(dds_write(writer, &sample), DDS_RETCODE_OK);
  EXPECT_EQ(dds_wait_for_acks(writer, DDS_SECS(10)), DDS_RETCODE_OK);

  ASSERT_EQ(peer.wait_for_exit(kChildDeadline), 0) << peer.output();
  EXPECT_EQ(peer.output(), standin_test::describe(event));
}

TEST_F(WireDiagnostics, RawReaderGetsEveryFieldOfTheArrays)
{
  const dds_entity_t publications =
    dds_create_reader(raw_.get(), DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
  const dds_entity_t reader = make_reader();
  ASSERT_GT(reader, 0);
  ChildProcess peer({STANDIN_PEER_PATH, "publish_diagnostics", "2"});
  std::vector<diagnostic_msgs::msg::DiagnosticArray> arrays;
  const auto end = std::chrono::steady_clock::now() + kChildDeadline;
  while (arrays.size() < 2 && std::chrono::steady_clock::now() < end) {
    standin_test::wait_for_data(reader, std::chrono::milliseconds(200));
    void * samples[1] = {nullptr};
    dds_sample_info_t info{};
    while (dds_take(reader, samples, &info, 1, 1) == 1) {
      if (info.valid_data) {
        arrays.push_back(
          to_message(*static_cast<const diagnostic_msgs_msg_dds__DiagnosticArray_ *>(samples[0])));
      }
      dds_return_loan(reader, samples, 1);
    }
  }
  ASSERT_EQ(arrays.size(), 2u);
  EXPECT_EQ(arrays[0], sample_diagnostics(0));
  EXPECT_EQ(arrays[1], sample_diagnostics(1));

  // The type name the writer announced, which matching went by. Read from discovery, which
  // keeps it after the peer has gone.
  std::string type_name;
  void * samples[16] = {};
  dds_sample_info_t infos[16];
  const dds_return_t count = dds_read(publications, samples, infos, 16, 16);
  for (dds_return_t i = 0; i < count; ++i) {
    const auto * endpoint = static_cast<const dds_builtintopic_endpoint_t *>(samples[i]);
    if (
      infos[i].valid_data &&
      std::string(endpoint->topic_name) == standin_test::kDiagnosticsDdsTopic) {
      type_name = endpoint->type_name;
    }
  }
  dds_return_loan(publications, samples, count);
  EXPECT_EQ(type_name, standin_test::kDiagnosticsDdsTypeName);
  EXPECT_EQ(peer.wait_for_exit(kChildDeadline), 0);
}

TEST_F(WireDiagnostics, SerialisedBytesFollowTheRos2CdrLayout)
{
  const auto expected = expected_cdr_of_sample_diagnostics_0();
  ASSERT_EQ(expected.size(), 128u);  // the layout above, spelled out: 4 + 124

  const dds_entity_t reader = make_reader();
  ASSERT_GT(reader, 0);
  ChildProcess peer({STANDIN_PEER_PATH, "publish_diagnostics", "1"});
  ASSERT_TRUE(standin_test::wait_for_data(reader, kChildDeadline));
  EXPECT_EQ(take_cdr(reader), expected);
  EXPECT_EQ(peer.wait_for_exit(kChildDeadline), 0);
}
