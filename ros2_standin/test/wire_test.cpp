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
#include "raw_participant.hpp"
#include "sample_events.hpp"
#include "wait_until.hpp"

using standin_test::ChildProcess;
using standin_test::RawParticipant;
using standin_test::sample_event;

namespace
{

constexpr std::chrono::seconds kChildDeadline{60};

class Wire : public ::testing::Test
{
protected:
  void SetUp() override
  {
    topic_ = dds_create_topic(
      raw_.get(), &brimtale_protocol_msg_dds__DiagnosticEvent__desc, standin_test::kDdsTopic,
      nullptr, nullptr);
    ASSERT_GT(topic_, 0) << dds_strretcode(topic_);
  }

  dds_entity_t make_reader()
  {
    dds_qos_t * qos = RawParticipant::ros_qos();
    const dds_entity_t reader = dds_create_reader(raw_.get(), topic_, qos, nullptr);
    dds_delete_qos(qos);
    return reader;
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

  RawParticipant raw_;
  dds_entity_t topic_ = 0;
};

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

  ddsi_serdata * serdata = nullptr;
  dds_sample_info_t info{};
  ASSERT_EQ(dds_takecdr(reader, &serdata, 1, &info, DDS_ANY_STATE), 1);
  ASSERT_TRUE(info.valid_data);
  const uint32_t size = ddsi_serdata_size(serdata);
  std::vector<unsigned char> bytes(size);
  ddsi_serdata_to_ser(serdata, 0, size, bytes.data());
  ddsi_serdata_unref(serdata);

  EXPECT_EQ(bytes, expected);
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
