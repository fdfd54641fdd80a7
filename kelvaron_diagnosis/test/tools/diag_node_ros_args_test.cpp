// kelvaron_diag_node as a ROS 2 node: simulated time from /clock, parameters from -p and params
// files, namespaces; each run with a simulated world in a process of its own.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/background_process.hpp"
#include "support/diagnostics_listener.hpp"
#include "support/event_collector.hpp"
#include "support/temp_dir.hpp"
#include "tools/run_command.hpp"

namespace
{

using diagnostic_msgs::msg::DiagnosticArray;
using diagnostic_msgs::msg::DiagnosticStatus;
using namespace std::chrono_literals;

const std::string kNode = KELVARON_DIAG_NODE;
const std::string kSimWorld = KELVARON_SIM_WORLD;

// 20 Hz streams whose limits a wall-clock judge would break at half speed (10 Hz < 16 Hz for
// longer than the hold, which outlasts a stream's first filling of its window) and
// during a pause (no frame for far longer than 300 ms).
std::string simThresholds(const std::vector<std::string> & topics)
{
  std::string text = "ros_diagnostics:\n  enabled: true\n  period_ms: 500\nsensors:\n";
  for (const std::string & topic : topics) {
    text += "  " + topic +
            ":\n    normal_hz: 20\n    low_ratio: 0.8\n    cutoff_timeout_ms: 300\n"
            "    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 1500\n";
  }
  return text;
}

std::string valueOf(const DiagnosticStatus & status, const std::string & key)
{
  for (const auto & entry : status.values) {
    if (entry.key == key) {
      return entry.value;
    }
  }
  return {};
}

bool allOk(const DiagnosticArray & array, std::size_t streams)
{
  if (array.status.size() != streams) {
    return false;
  }
  for (const DiagnosticStatus & status : array.status) {
    if (status.level != DiagnosticStatus::OK) {
      return false;
    }
  }
  return true;
}

// Watches /diagnostics while the world runs at half speed with a pause: once every stream reads
// OK, every later array must too, stamped in simulated time with simulated header ages.
void expectHealthyThroughout(
  DiagnosticsListener & listener, const std::vector<std::string> & shown_topics,
  const std::string & stamped_topic)
{
  std::vector<DiagnosticArray> arrays;
  const auto until = std::chrono::steady_clock::now() + 16s;
  while (std::chrono::steady_clock::now() < until) {
    for (DiagnosticArray & array : listener.drain(500ms)) {
      arrays.push_back(std::move(array));
    }
  }
  std::size_t first_ok = 0;
  while (first_ok < arrays.size() && !allOk(arrays[first_ok], shown_topics.size())) {
    ++first_ok;
  }
  ASSERT_LT(first_ok, arrays.size()) << "the streams never all read OK";
  ASSERT_GT(arrays.size() - first_ok, 10U) << "too few arrays after the streams came up";
  for (std::size_t i = first_ok; i < arrays.size(); ++i) {
    const DiagnosticArray & array = arrays[i];
    // Simulated time starts at 1000 s and lasts well under a minute here.
    EXPECT_GE(array.header.stamp.sec, 1000) << "array " << i;
    EXPECT_LT(array.header.stamp.sec, 1060) << "array " << i;
    ASSERT_EQ(array.status.size(), shown_topics.size());
    for (std::size_t s = 0; s < shown_topics.size(); ++s) {
      const DiagnosticStatus & status = array.status[s];
      EXPECT_EQ(status.level, DiagnosticStatus::OK)
        << "array " << i << ": " << status.name << ": " << status.message;
      EXPECT_EQ(valueOf(status, "topic"), shown_topics[s]);
      if (shown_topics[s] == stamped_topic) {
        // In simulated time: a few milliseconds, where the wall clock would give 56 years.
        // /clock and the stream are topics of their own, so a frame may overtake the tick
        // that dates it and read slightly negative.
        const long age_ms = std::atol(valueOf(status, "header_age_ms").c_str());
        EXPECT_GT(age_ms, -100) << "header age in simulated time";
        EXPECT_LT(age_ms, 500) << "header age in simulated time";
      }
    }
  }
}

TEST(DiagNodeRosArgs, SimulatedTimeAtHalfSpeedWithAPauseReadsHealthy)
{
  TempDir dir;
  const std::string file = dir.write("sim.yaml", simThresholds({"/scan_01", "/imu/data"}));
  BackgroundProcess node(
    {kNode, "--ros-args", "-p", "config_file:=" + file, "-p", "use_sim_time:=true"}, true);
  ASSERT_TRUE(node.started());
  DiagnosticsListener listener;
  EventCollector collector;

  // Before the first /clock: each stream STALE "waiting for /clock", and no verdict at all.
  const std::optional<DiagnosticArray> waiting = listener.next();
  ASSERT_TRUE(waiting);
  ASSERT_EQ(waiting->status.size(), 2U);
  for (const DiagnosticStatus & status : waiting->status) {
    EXPECT_EQ(status.level, DiagnosticStatus::STALE);
    EXPECT_EQ(status.message, "waiting for /clock");
  }
  ASSERT_TRUE(collector.waitForPublishers());
  EXPECT_TRUE(collector.drain(1500ms).empty()) << "nothing is judged before /clock";

  // Half real time; paused at 3 s of simulated time for 3 s of real time.
  BackgroundProcess world(
    {kSimWorld, "0.5", "3", "3", "/scan_01:stamped:20:front_laser", "/imu/data:plain:20:"});
  ASSERT_TRUE(world.started());
  expectHealthyThroughout(listener, {"/imu/data", "/scan_01"}, "/scan_01");
  // Events are stamped in simulated time too: /imu/data has no header, so its events carry one
  // stamped when its frame arrived.
  EXPECT_TRUE(collector.waitForEvent(
    EventCollector::kSensorProxyTopic,
    [](const auto & event) { return event.event_id == 8016 && event.header.stamp.sec >= 1000; },
    10s));
  for (const ReceivedEvent & received : collector.snapshot()) {
    EXPECT_LT(received.event.header.stamp.sec, 1060) << "no wall-clock stamp";
  }

  EXPECT_EQ(node.stop(SIGTERM), 0);
  EXPECT_EQ(world.stop(SIGINT), 0);
}

TEST(DiagNodeRosArgs, RelativeTopicsFollowTheNamespaceWithParametersFromAFile)
{
  TempDir dir;
  const std::string file = dir.write("robot.yaml", simThresholds({"scan", "imu"}));
  const std::string params = dir.write(
    "params.yaml",
    "/**:\n  ros__parameters:\n    use_sim_time: true\n    config_file: " + file + "\n");
  BackgroundProcess node(
    {kNode, "--ros-args", "--params-file", params, "-r", "__ns:=/robot1"}, true);
  ASSERT_TRUE(node.started());
  DiagnosticsListener listener;
  BackgroundProcess world(
    {kSimWorld, "0.5", "3", "3", "/robot1/scan:stamped:20:front_laser",
     "/robot1/imu:plain:20:", "/scan:plain:1:"});
  ASSERT_TRUE(world.started());
  // "/scan" in the root namespace is another robot's stream at 1 Hz: were it watched, the
  // stream would read low.
  expectHealthyThroughout(listener, {"/robot1/imu", "/robot1/scan"}, "/robot1/scan");

  EXPECT_EQ(node.stop(SIGTERM), 0);
  EXPECT_EQ(world.stop(SIGINT), 0);
}

TEST(DiagNodeRosArgs, BadArgumentsAndParametersEndWithStatusTwoAndOneLine)
{
  TempDir dir;
  const std::string file = dir.write("ok.yaml", simThresholds({"/scan_01"}));
  const std::string malformed = dir.write("malformed.yaml", "/**:\n  ros__parameters: [\n");
  struct Case
  {
    std::string arguments;
    std::string named;  // what the line must name
  };
  const std::string config = "--config " + file + " ";
  const std::vector<Case> cases{
    {config + "--ros-args -p use_sim_time:=maybe", "use_sim_time"},
    {"--ros-args -p config_file:=5", "config_file"},
    {config + "--ros-args -p", "-p"},
    {config + "--ros-args --params-file " + dir.path().string() + "/absent.yaml", "absent.yaml"},
    {config + "--ros-args --params-file " + malformed, "malformed.yaml"},
  };
  for (const Case & bad : cases) {
    const CommandResult result = runCommand(kNode + " " + bad.arguments + " 2>&1");
    EXPECT_EQ(result.exit_code, 2) << bad.arguments << "\n" << result.output;
    // Only our line counts; the middleware may print its own.
    const std::size_t ours = result.output.find("kelvaron_diag_node: ");
    ASSERT_NE(ours, std::string::npos) << bad.arguments << "\n" << result.output;
    const std::string line = result.output.substr(ours, result.output.find('\n', ours) - ours);
    EXPECT_NE(line.find(bad.named), std::string::npos) << bad.arguments << "\n" << line;
    EXPECT_EQ(result.output.find("Timer thread started"), std::string::npos) << "nothing started";
  }
}

}  // namespace
