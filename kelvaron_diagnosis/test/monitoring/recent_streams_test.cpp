#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/recent_streams.hpp"
#include "sensor_diagnosis/stream_table.hpp"

namespace
{

using kelvaron::RecentStreams;
using kelvaron::StreamEntry;

TEST(RecentStreams, FindsWhatWasRememberedAndNothingElse)
{
  SensorState state;
  SensorThreshold threshold;
  RecentStreams recent;
  EXPECT_EQ(recent.find("/scan_01").state, nullptr);
  recent.remember("/scan_01", {&state, &threshold});
  const StreamEntry found = recent.find("/scan_01");
  EXPECT_EQ(found.state, &state);
  EXPECT_EQ(found.threshold, &threshold);
  EXPECT_EQ(recent.find("/scan_02").state, nullptr);
  EXPECT_EQ(recent.find("").state, nullptr);
}

TEST(RecentStreams, RememberingATopicAgainReplacesItsEntry)
{
  SensorState first_state;
  SensorState second_state;
  SensorThreshold threshold;
  RecentStreams recent;
  recent.remember("/imu/data", {&first_state, &threshold});
  recent.remember("/imu/data", {&second_state, &threshold});
  EXPECT_EQ(recent.find("/imu/data").state, &second_state);
}

// More topics than slots: evictions may forget a topic but must never hand out another topic's
// entry, and the topic remembered last is always found.
TEST(RecentStreams, EvictionNeverMixesTopicsUp)
{
  constexpr int kTopics = 500;
  std::vector<SensorState> states(kTopics);
  SensorThreshold threshold;
  RecentStreams recent;
  int found_later = 0;
  for (int i = 0; i < kTopics; ++i) {
    const std::string topic = "/sensor_" + std::to_string(i);
    recent.remember(topic, {&states[i], &threshold});
    ASSERT_EQ(recent.find(topic).state, &states[i]) << topic;
  }
  for (int i = 0; i < kTopics; ++i) {
    const SensorState * found = recent.find("/sensor_" + std::to_string(i)).state;
    if (found != nullptr) {
      EXPECT_EQ(found, &states[i]) << i;
      ++found_later;
    }
  }
  EXPECT_GT(found_later, 0);
  EXPECT_LT(found_later, kTopics);
}

// The streams of the robot's table, reported in turn: after one round none has evicted another.
TEST(RecentStreams, TheRobotsStreamsAllStayRemembered)
{
  std::vector<SensorState> states(kelvaron::kStreamTableRows);
  SensorThreshold threshold;
  RecentStreams recent;
  for (std::size_t row = 0; row < kelvaron::kStreamTableRows; ++row) {
    recent.remember(kelvaron::streamTopic(row), {&states[row], &threshold});
  }
  for (std::size_t row = 0; row < kelvaron::kStreamTableRows; ++row) {
    EXPECT_EQ(recent.find(kelvaron::streamTopic(row)).state, &states[row])
      << kelvaron::streamTopic(row);
  }
}

TEST(RecentStreams, ForgetDropsEveryEntry)
{
  SensorState state;
  SensorThreshold threshold;
  RecentStreams recent;
  recent.remember("/scan_01", {&state, &threshold});
  recent.remember("/scan_02", {&state, &threshold});
  recent.forget();
  EXPECT_EQ(recent.find("/scan_01").state, nullptr);
  EXPECT_EQ(recent.find("/scan_02").state, nullptr);
}

}  // namespace
