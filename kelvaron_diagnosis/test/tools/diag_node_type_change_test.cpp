// kelvaron_diag_node and the types that writers announce: it follows a topic whose publisher
// comes back with another message type (DDS matches no publisher of the new type with a
// subscription of the old one), and it survives a type it cannot subscribe to.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>

#include "support/background_process.hpp"
#include "support/event_collector.hpp"
#include "support/temp_dir.hpp"

namespace
{

using namespace std::chrono_literals;

const std::string kNode = KELVARON_DIAG_NODE;
const std::string kPublisher = KELVARON_STREAM_PUBLISHER;
constexpr int32_t kScan01Timeout = 8001;

// Whether /scan_01 read "STREAM NORMAL" again after its first "STREAM TIMEOUT".
bool normalAfterTimeout(const std::vector<ReceivedEvent> & events)
{
  bool timed_out = false;
  for (const ReceivedEvent & received : events) {
    if (received.event.event_id != kScan01Timeout) {
      continue;
    }
    if (received.event.event_status == 1) {
      timed_out = true;
    } else if (timed_out) {
      return true;
    }
  }
  return false;
}

TEST(DiagNodeTypeChange, AStreamBackWithAnotherTypeReadsNormalAgain)
{
  TempDir dir;
  const std::string file = dir.write(
    "thresholds.yaml",
    "sensors:\n  /scan_01:\n    normal_hz: 20\n    low_ratio: 0.5\n    cutoff_timeout_ms: 500\n"
    "    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 1000\n");
  std::optional<BackgroundProcess> publisher;
  publisher.emplace(std::vector<std::string>{kPublisher, "/scan_01:stamped:20:front_laser"});
  BackgroundProcess node({kNode, "--config", file});
  ASSERT_TRUE(publisher->started());
  ASSERT_TRUE(node.started());
  EventCollector collector;
  EXPECT_TRUE(collector.waitForEvent(
    EventCollector::kSensorProxyTopic,
    [](const auto & event) { return event.event_id == kScan01Timeout && event.event_status == 0; },
    30s));

  // Every pass publishes a verdict: from here on, a time-out and then a normal verdict can only
  // come from the restart below (the node's start read the stream timed out too).
  collector.clear();
  // The driver restarts with builtin_interfaces/msg/Time instead of std_msgs/msg/Header.
  EXPECT_EQ(publisher->stop(SIGINT), 0);
  publisher.emplace(std::vector<std::string>{kPublisher, "/scan_01:plain:20:"});
  ASSERT_TRUE(publisher->started());
  EXPECT_TRUE(collector.waitFor(normalAfterTimeout, 30s));

  EXPECT_EQ(node.stop(SIGTERM), 0);
  EXPECT_EQ(publisher->stop(SIGINT), 0);
}

#ifdef KELVARON_FOREIGN_DDS_WRITER
TEST(DiagNodeForeignType, ATopicWrittenUnderANonRosTypeLeavesTheOtherStreamsWatched)
{
  TempDir dir;
  const std::string file = dir.write(
    "thresholds.yaml",
    "sensors:\n  /scan_01:\n    normal_hz: 20\n    low_ratio: 0.5\n    cutoff_timeout_ms: 500\n"
    "    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 1000\n"
    "  /scan_02:\n    normal_hz: 20\n    low_ratio: 0.5\n    cutoff_timeout_ms: 500\n"
    "    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 1000\n");
  BackgroundProcess publisher({kPublisher, "/scan_01:stamped:20:front_laser"});
  BackgroundProcess node({kNode, "--config", file});
  ASSERT_TRUE(publisher.started());
  ASSERT_TRUE(node.started());
  EventCollector collector;
  const auto scan01Normal = [](const auto & event) {
    return event.event_id == kScan01Timeout && event.event_status == 0;
  };
  ASSERT_TRUE(collector.waitForEvent(EventCollector::kSensorProxyTopic, scan01Normal, 30s));

  // rclcpp cannot subscribe under "Foreign::Reading": the node used to end there.
  BackgroundProcess foreign({KELVARON_FOREIGN_DDS_WRITER, "rt/scan_02", "60"});
  ASSERT_TRUE(foreign.started());
  const auto probe = std::make_shared<rclcpp::Node>("foreign_type_probe");
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (probe->get_topic_names_and_types().count("/scan_02") == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_EQ(probe->get_topic_names_and_types().count("/scan_02"), 1u);
  std::this_thread::sleep_for(3s);  // the node's refresh comes once a second
  collector.clear();
  EXPECT_TRUE(collector.waitForEvent(EventCollector::kSensorProxyTopic, scan01Normal, 30s));
  EXPECT_EQ(node.stop(SIGTERM), 0);
}
#endif

}  // namespace
