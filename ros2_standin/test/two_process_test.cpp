// Publish and subscribe through the stand-in across two processes.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "child_process.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sample_events.hpp"
#include "spin_helpers.hpp"
#include "wait_until.hpp"

using brimtale_protocol::msg::DiagnosticEvent;
using standin_test::ChildProcess;
using standin_test::sample_event;

namespace
{

// Long enough for discovery, matching and delivery on a loaded machine.
constexpr std::chrono::seconds kChildDeadline{60};

class TwoProcesses : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("two_process_test");
  }
  void TearDown() override { rclcpp::shutdown(); }

  rclcpp::Node::SharedPtr node_;
};

}  // namespace

TEST_F(TwoProcesses, PeerReceivesWhatWePublish)
{
  auto publisher = node_->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  ChildProcess peer({STANDIN_PEER_PATH, "receive", "3"});
  ASSERT_TRUE(standin_test::wait_until([&] { return publisher->get_subscription_count() == 1; }));
  for (int i = 0; i < 3; ++i) {
    publisher->publish(sample_event(i));
  }
  EXPECT_TRUE(publisher->wait_for_all_acked(standin_test::kDiscoveryDeadline));
  ASSERT_EQ(peer.wait_for_exit(kChildDeadline), 0) << peer.output();
  EXPECT_EQ(
    peer.output(), standin_test::describe(sample_event(0)) +
                     standin_test::describe(sample_event(1)) +
                     standin_test::describe(sample_event(2)));
}

TEST_F(TwoProcesses, WeReceiveWhatPeerPublishes)
{
  std::vector<DiagnosticEvent> received;
  auto subscription = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&received](DiagnosticEvent::SharedPtr event) { received.push_back(*event); });
  ChildProcess peer({STANDIN_PEER_PATH, "publish", "3"});
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  ASSERT_TRUE(standin_test::spin_until(
    executor, [&] { return received.size() >= 3; }, kChildDeadline));
  EXPECT_EQ(
    received, (std::vector<DiagnosticEvent>{sample_event(0), sample_event(1), sample_event(2)}));
  EXPECT_EQ(peer.wait_for_exit(kChildDeadline), 0);
}
