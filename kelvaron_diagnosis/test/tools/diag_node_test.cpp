// kelvaron_diag_node end to end: publishers in a process of their own, the node in another,
// and the events read here, as a ROS 2 system would run them.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

#include "support/background_process.hpp"
#include "support/event_collector.hpp"
#include "support/temp_dir.hpp"
#include "tools/run_command.hpp"

namespace
{

using brimtale_protocol::msg::DiagnosticEvent;
using namespace std::chrono_literals;

const std::string kNode = KELVARON_DIAG_NODE;
const std::string kPublisher = KELVARON_STREAM_PUBLISHER;

std::string entry(const std::string & topic, int normal_hz)
{
  return "  " + topic + ":\n    normal_hz: " + std::to_string(normal_hz) +
         "\n    low_ratio: 0.5\n    cutoff_timeout_ms: 500\n    cutoff_recovery_threshold: 3\n"
         "    abnormal_duration_ms: 1000\n";
}

bool isEvent(const DiagnosticEvent & event, int32_t id, int32_t status, const std::string & frame)
{
  return event.event_id == id && event.event_status == status && event.header.frame_id == frame;
}

std::string readText(const std::string & path)
{
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

TEST(DiagNode, JudgesOtherProcessesStreamsAndFollowsFileEdits)
{
  TempDir dir;
  // /scan_01 healthy and stamped, /scan_02 stamped at a fifth of its rate, /rslidar_points
  // never published, /imu/data healthy without a header, /camera_01/image_raw of 300 KB frames.
  const std::string file = dir.write(
    "thresholds.yaml", "sensors:\n" + entry("/scan_01", 20) + entry("/scan_02", 20) +
                         entry("/rslidar_points", 10) + entry("/imu/data", 20) +
                         entry("/camera_01/image_raw", 10));
  // A viewer waiting for /rslidar_points names its type, but is no publisher.
  const auto viewer = std::make_shared<rclcpp::Node>("kelvaron_test_viewer");
  const auto waiting = viewer->create_subscription<std_msgs::msg::Header>(
    "/rslidar_points", rclcpp::QoS(10), [](const std_msgs::msg::Header &) {});
  BackgroundProcess publishers(
    {kPublisher, "/scan_01:stamped:20:front_laser", "/scan_02:stamped:4:rear_laser",
     "/imu/data:plain:20:", "/camera_02/depth/image_raw:stamped:10:depth_camera",
     "/camera_01/image_raw:bulky:10:rgb"});
  // The node's console goes to a file: its lines say what it subscribes to and drops.
  const std::string log = dir.path("node.log");
  BackgroundProcess node(
    {"/bin/sh", "-c", "exec \"$0\" --config \"$1\" >\"$2\"", kNode, file, log});
  ASSERT_TRUE(publishers.started());
  ASSERT_TRUE(node.started());
  EventCollector collector;

  const auto proxy = EventCollector::kSensorProxyTopic;
  // Healthy, carrying the publisher's own header.
  EXPECT_TRUE(collector.waitForEvent(
    proxy, [](const auto & event) { return isEvent(event, 8001, 0, "front_laser"); }, 30s));
  EXPECT_TRUE(collector.waitForEvent(
    proxy, [](const auto & event) { return isEvent(event, 8008, 0, "front_laser"); }, 30s));
  // Slow: its frame rate reads low, with its header.
  EXPECT_TRUE(collector.waitForEvent(
    proxy, [](const auto & event) { return isEvent(event, 8010, 1, "rear_laser"); }, 30s));
  // Dead: never a frame, so only time-outs.
  EXPECT_TRUE(collector.waitForEvent(
    proxy, [](const auto & event) { return event.event_id == 8003 && event.event_status == 1; },
    30s));
  // Without a header the events carry an empty frame, and the stream still reads healthy.
  EXPECT_TRUE(collector.waitForEvent(
    proxy, [](const auto & event) { return isEvent(event, 8016, 0, ""); }, 30s));

  // An edit that adds a topic, drops one and reads /scan_01 without its header: the node
  // follows it without a restart.
  dir.write(
    "thresholds.yaml", "sensors:\n" + entry("/scan_01", 20) + "    header: false\n" +
                         entry("/scan_02", 20) + entry("/rslidar_points", 10) +
                         entry("/camera_01/image_raw", 10) +
                         entry("/camera_02/depth/image_raw", 10));
  EXPECT_TRUE(collector.waitForEvent(
    proxy, [](const auto & event) { return isEvent(event, 8013, 0, "depth_camera"); }, 30s));
  EXPECT_TRUE(collector.waitForEvent(
    proxy, [](const auto & event) { return isEvent(event, 8001, 0, ""); }, 30s))
    << "/scan_01 still read with its header";

  EXPECT_EQ(node.stop(SIGTERM), 0) << "SIGTERM ends the node cleanly";
  EXPECT_EQ(publishers.stop(SIGINT), 0);
  const std::string output = readText(log);
  EXPECT_NE(
    output.find("Monitoring /scan_01 as std_msgs/msg/Header (with its header)"), std::string::npos)
    << output;
  // 16 MiB hold 55 messages of 300,020 bytes.
  EXPECT_NE(
    output.find("Messages on /camera_01/image_raw are up to 300020 bytes: its history now holds "
                "55 of them"),
    std::string::npos)
    << output;
  EXPECT_EQ(output.find("Monitoring /rslidar_points"), std::string::npos)
    << "subscribed with no publisher\n"
    << output;
  // Frames of a topic still subscribed after it left the file reach the library unregistered.
  const auto dropped = output.find("No longer monitoring /imu/data");
  ASSERT_NE(dropped, std::string::npos) << "/imu/data never dropped\n" << output;
  EXPECT_EQ(output.find("Sensor topic not registered: /imu/data", dropped), std::string::npos)
    << "still subscribed after it was dropped\n"
    << output;
}

TEST(DiagNode, ABadFileIsReportedAndNothingRuns)
{
  TempDir dir;
  const std::string file = dir.write("bad.yaml", "sensors:\n  /scan_01: 5\n");
  const CommandResult result = runCommand(kNode + " --config " + file + " 2>&1");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.output.find("[ERROR] Sensor '/scan_01' config must be a map"), std::string::npos)
    << result.output;
}

}  // namespace
