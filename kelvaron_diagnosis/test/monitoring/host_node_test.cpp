// A host node decides the object's time and names: with use_sim_time its clock follows /clock
// (published here by another node), and relative topics resolve in its namespace.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <rclcpp/rclcpp.hpp>
#include <rosgraph_msgs/msg/clock.hpp>

#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/temp_dir.hpp"

namespace
{

using namespace std::chrono_literals;

std::shared_ptr<rclcpp::Node> hostNode(bool use_sim_time)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides({rclcpp::Parameter("use_sim_time", use_sim_time)});
  return std::make_shared<rclcpp::Node>("host", "/robot1", options);
}

// Publishes `time_ns` on /clock until `node` reads it (or a generous deadline passes).
bool publishClockUntilSeen(rclcpp::Node & node, int64_t time_ns)
{
  auto simulator = std::make_shared<rclcpp::Node>("simulator");
  auto publisher =
    simulator->create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::ClockQoS());
  rosgraph_msgs::msg::Clock message;
  message.clock = rclcpp::Time(time_ns, RCL_ROS_TIME);
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (std::chrono::steady_clock::now() < deadline) {
    publisher->publish(message);
    if (node.now().nanoseconds() == time_ns) {
      return true;
    }
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

class HostNodeTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ConsoleCapture quiet;
    ASSERT_TRUE(diagnosis_.Register("scan", 10.0F, 0.5F, 500, 3));
    DiagnosisTestAccess::markInitialized(diagnosis_);
  }

  SensorState scan() { return DiagnosisTestAccess::states(diagnosis_).at("scan"); }

  Diagnosis diagnosis_;
};

TEST_F(HostNodeTest, OnSimulatedTimeReportsAreDatedAndStampedByClock)
{
  auto node = hostNode(true);
  {
    ConsoleCapture quiet;
    diagnosis_.useHostNode(node);
  }
  // Before the first /clock: no time, so nothing is counted or judged.
  EXPECT_FALSE(DiagnosisTestAccess::nowMs(diagnosis_));
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("scan"));
  diagnosis_.TimeoutCheck();
  EXPECT_EQ(scan().frames_total, 0);
  EXPECT_EQ(scan().timeout_verdict, 0);

  constexpr int64_t kSimulatedNs = 2'000'500'000'000;  // 2000.5 s
  ASSERT_TRUE(publishClockUntilSeen(*node, kSimulatedNs));
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("scan"));
  const SensorState state = scan();
  EXPECT_EQ(state.last_receive_ms, 2'000'500);
  EXPECT_EQ(state.last_header.stamp.sec, 2000);
  EXPECT_EQ(state.last_header.stamp.nanosec, 500'000'000U);
}

TEST_F(HostNodeTest, WithoutSimulatedTimeTheWallClockStaysAndNamesFollowTheNode)
{
  auto node = hostNode(false);
  diagnosis_.useHostNode(node);
  const auto wall_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  const std::optional<int64_t> now_ms = DiagnosisTestAccess::nowMs(diagnosis_);
  ASSERT_TRUE(now_ms);
  EXPECT_NEAR(static_cast<double>(*now_ms), static_cast<double>(wall_ms), 5000.0);

  EXPECT_EQ(DiagnosisTestAccess::shownTopic(diagnosis_, "scan"), "/robot1/scan");
  EXPECT_EQ(DiagnosisTestAccess::shownTopic(diagnosis_, "/scan_01"), "/scan_01");
  // The host may let its node go first: names then show as written, and nothing crashes.
  node.reset();
  EXPECT_EQ(DiagnosisTestAccess::shownTopic(diagnosis_, "scan"), "scan");
  EXPECT_TRUE(diagnosis_.SensorReportWithoutHeader("scan"));
}

}  // namespace
