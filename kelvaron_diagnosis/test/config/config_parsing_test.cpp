// parseSensorConfig: what the registry holds after a document was parsed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <cmath>
#include <limits>
#include <string>

#include "config_test_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/threshold_matcher.hpp"

namespace
{

using config_test::dataFile;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using Peer = DiagnosisTestAccess;

std::vector<std::string> topics(const Peer::Thresholds & thresholds)
{
  std::vector<std::string> names;
  for (const auto & entry : thresholds) {
    names.push_back(entry.first);
  }
  return names;
}

// Parses a data file the way the loader does, after checking that it validates.
void parseDataFile(Diagnosis & diagnosis, const std::string & name)
{
  const YAML::Node root = YAML::LoadFile(dataFile(name));
  ASSERT_TRUE(diagnosis.validateConfig(root)) << name;
  ASSERT_TRUE(diagnosis.parseSensorConfig(root["sensors"]));
}

// A state with every field away from its fresh value.
SensorState usedState(int64_t base_ms)
{
  SensorState state;
  state.last_header.stamp.sec = 42;
  state.last_header.stamp.nanosec = 7;
  state.last_header.frame_id = "kept";
  state.timestamps = {base_ms - 20, base_ms - 10, base_ms};
  state.last_receive_ms = base_ms;
  state.abnormal_start_ms = base_ms - 500;
  state.recovery_count = 3;
  return state;
}

void expectSameState(const SensorState & actual, const SensorState & expected)
{
  EXPECT_EQ(actual.last_header.stamp.sec, expected.last_header.stamp.sec);
  EXPECT_EQ(actual.last_header.stamp.nanosec, expected.last_header.stamp.nanosec);
  EXPECT_EQ(actual.last_header.frame_id, expected.last_header.frame_id);
  EXPECT_EQ(actual.timestamps, expected.timestamps);
  EXPECT_EQ(actual.last_receive_ms, expected.last_receive_ms);
  EXPECT_EQ(actual.abnormal_start_ms, expected.abnormal_start_ms);
  EXPECT_EQ(actual.recovery_count, expected.recovery_count);
}

void expectFreshState(const SensorState & state)
{
  const SensorState fresh;
  expectSameState(state, fresh);
}

TEST(ConfigParsing, StoresEveryFieldOfEveryEntryQuietly)
{
  Diagnosis diagnosis;
  ConsoleCapture capture;
  parseDataFile(diagnosis, "valid_example.yaml");
  EXPECT_THAT(capture.lines(), IsEmpty());

  const auto thresholds = Peer::thresholds(diagnosis);
  ASSERT_THAT(topics(thresholds), UnorderedElementsAre("/scan_01", "/camera_01/color/image_raw"));
  EXPECT_THAT(thresholds.at("/scan_01"), ThresholdIs(10.0F, 0.5F, 500, 3, 800));
  EXPECT_THAT(thresholds.at("/camera_01/color/image_raw"), ThresholdIs(15.0F, 0.6F, 300, 2, 600));

  const auto states = Peer::states(diagnosis);
  EXPECT_EQ(states.size(), 2U);
  expectFreshState(states.at("/scan_01"));
  expectFreshState(states.at("/camera_01/color/image_raw"));
}

TEST(ConfigParsing, IntegersTakeTheirBaseFromThePrefix)
{
  Diagnosis diagnosis;
  parseDataFile(diagnosis, "hex_octal.yaml");
  const SensorThreshold scan = Peer::thresholds(diagnosis).at("/scan_01");
  EXPECT_EQ(scan.cutoff_timeout_ms, 500);        // 0x1F4
  EXPECT_EQ(scan.cutoff_recovery_threshold, 8);  // 010
  EXPECT_EQ(scan.abnormal_duration_ms, 500);     // 0764
}

TEST(ConfigParsing, SpecialFloatsAreStoredAsInfinityAndNaN)
{
  Diagnosis diagnosis;
  parseDataFile(diagnosis, "special_floats.yaml");
  const auto thresholds = Peer::thresholds(diagnosis);
  for (const char * topic : {"/inf_lower", "/inf_title", "/inf_signed_upper"}) {
    SCOPED_TRACE(topic);
    EXPECT_EQ(thresholds.at(topic).normal_hz, std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(thresholds.at(topic).low_ratio));
  }
  EXPECT_FLOAT_EQ(thresholds.at("/plain_numbers").normal_hz, 15.0F);
  EXPECT_FLOAT_EQ(thresholds.at("/plain_numbers").low_ratio, 0.5F);
  EXPECT_EQ(thresholds.at("/plain_numbers").cutoff_timeout_ms, 500);
}

TEST(ConfigParsing, TopicKeysAreTakenAsWritten)
{
  Diagnosis diagnosis;
  parseDataFile(diagnosis, "odd_topic_names.yaml");
  const auto thresholds = Peer::thresholds(diagnosis);
  EXPECT_THAT(topics(thresholds), UnorderedElementsAre("null", "", "scan_without_slash"));
  EXPECT_FLOAT_EQ(thresholds.at("null").normal_hz, 10.0F);
  EXPECT_FLOAT_EQ(thresholds.at("").normal_hz, 11.0F);
}

TEST(ConfigParsing, RepeatedTopicKeepsTheLaterEntry)
{
  Diagnosis diagnosis;
  parseDataFile(diagnosis, "duplicate_topic.yaml");
  const auto thresholds = Peer::thresholds(diagnosis);
  ASSERT_EQ(thresholds.size(), 1U);
  EXPECT_THAT(thresholds.at("/scan_01"), ThresholdIs(20.0F, 0.75F, 250, 5, 400));
}

TEST(ConfigParsing, RepeatedFieldKeepsTheFirstValue)
{
  Diagnosis diagnosis;
  parseDataFile(diagnosis, "duplicate_field.yaml");
  EXPECT_EQ(Peer::thresholds(diagnosis).at("/scan_01").cutoff_timeout_ms, 500);
}

TEST(ConfigParsing, ReplacesTheRegistryAndKeepsStates)
{
  Diagnosis diagnosis;
  ConsoleCapture capture;
  ASSERT_TRUE(diagnosis.Register("/registered", 10.0F, 0.5F, 500, 3));
  parseDataFile(diagnosis, "sensors_a.yaml");
  const SensorState used_a = usedState(1000000);
  Peer::setState(diagnosis, "/topic_a", used_a);
  // /topic_b already has a state (say from an unregistered report): it must survive too.
  const SensorState used_b = usedState(2000000);
  Peer::setState(diagnosis, "/topic_b", used_b);

  parseDataFile(diagnosis, "sensors_b.yaml");
  EXPECT_THAT(topics(Peer::thresholds(diagnosis)), UnorderedElementsAre("/topic_b"));
  const auto states = Peer::states(diagnosis);
  EXPECT_THAT(states.size(), 3U);
  expectSameState(states.at("/topic_a"), used_a);
  expectSameState(states.at("/topic_b"), used_b);
  expectFreshState(states.at("/registered"));
}

TEST(ConfigParsing, NewTopicGetsAFreshState)
{
  Diagnosis diagnosis;
  parseDataFile(diagnosis, "sensors_a.yaml");
  Peer::setState(diagnosis, "/topic_a", usedState(1000000));
  parseDataFile(diagnosis, "sensors_b.yaml");
  expectFreshState(Peer::states(diagnosis).at("/topic_b"));
}

TEST(ConfigParsing, SameDocumentTwiceKeepsEveryState)
{
  Diagnosis diagnosis;
  parseDataFile(diagnosis, "valid_example.yaml");
  const SensorState scan = usedState(1000000);
  const SensorState camera = usedState(3000000);
  Peer::setState(diagnosis, "/scan_01", scan);
  Peer::setState(diagnosis, "/camera_01/color/image_raw", camera);

  parseDataFile(diagnosis, "valid_example.yaml");
  const auto states = Peer::states(diagnosis);
  expectSameState(states.at("/scan_01"), scan);
  expectSameState(states.at("/camera_01/color/image_raw"), camera);
}

TEST(ConfigParsing, FailureKeepsEntriesBeforeTheBadOneAndReleasesTheLock)
{
  Diagnosis diagnosis;
  ConsoleCapture capture;
  parseDataFile(diagnosis, "valid_example.yaml");
  capture.take();

  // Never validated: its second entry does not convert.
  const YAML::Node root = YAML::LoadFile(dataFile("document_wide_flag.yaml"));
  EXPECT_THROW(diagnosis.parseSensorConfig(root["sensors"]), YAML::BadConversion);
  EXPECT_THAT(capture.lines(), IsEmpty());
  EXPECT_THAT(topics(Peer::thresholds(diagnosis)), UnorderedElementsAre("/scan_01"));
  EXPECT_EQ(Peer::states(diagnosis).count("/scan_02"), 0U);

  // The data mutex was released on the way out.
  EXPECT_TRUE(diagnosis.Register("/after_failure", 10.0F, 0.5F, 500, 3));
}

}  // namespace
