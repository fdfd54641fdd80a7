// Publish and subscribe through the stand-in within one process, over DDS.

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sample_events.hpp"
#include "spin_helpers.hpp"
#include "std_msgs/msg/header.hpp"
#include "wait_until.hpp"

using brimtale_protocol::msg::DiagnosticEvent;
using diagnostic_msgs::msg::DiagnosticArray;
using standin_test::sample_diagnostics;
using standin_test::sample_event;
using standin_test::spin_until;
using standin_test::wait_until;

namespace
{

class PubSub : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("diagnosis_Sensor_Proxy_node");
    publisher_ = node_->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  }
  void TearDown() override { rclcpp::shutdown(); }

  bool wait_for_subscribers(size_t count)
  {
    return wait_until([&] { return publisher_->get_subscription_count() == count; });
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::Publisher<DiagnosticEvent>::SharedPtr publisher_;
};

}  // namespace

TEST_F(PubSub, EveryCallbackSignatureGetsTheMessageIntact)
{
  std::vector<DiagnosticEvent> by_reference, by_const_shared, by_shared, by_unique;
  auto s1 = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&](const DiagnosticEvent & event) { by_reference.push_back(event); });
  auto s2 = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&](std::shared_ptr<const DiagnosticEvent> event) { by_const_shared.push_back(*event); });
  auto s3 = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&](DiagnosticEvent::SharedPtr event) { by_shared.push_back(*event); });
  auto s4 = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&](std::unique_ptr<DiagnosticEvent> event) { by_unique.push_back(*event); });
  EXPECT_STREQ(s1->get_topic_name(), "/sensor_proxy_diag_topic");
  ASSERT_TRUE(wait_for_subscribers(4));

  publisher_->publish(sample_event(0));
  publisher_->publish(sample_event(1));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  ASSERT_TRUE(spin_until(executor, [&] {
    return by_reference.size() == 2 && by_const_shared.size() == 2 && by_shared.size() == 2 &&
           by_unique.size() == 2;
  }));
  const std::vector<DiagnosticEvent> expected{sample_event(0), sample_event(1)};
  EXPECT_EQ(by_reference, expected);
  EXPECT_EQ(by_const_shared, expected);
  EXPECT_EQ(by_shared, expected);
  EXPECT_EQ(by_unique, expected);
}

TEST_F(PubSub, SpinSomeDeliversWhatHasArrived)
{
  std::vector<DiagnosticEvent> received;
  auto subscription = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&](const DiagnosticEvent & event) { received.push_back(event); });
  ASSERT_TRUE(wait_for_subscribers(1));
  publisher_->publish(sample_event(2));
  ASSERT_TRUE(publisher_->wait_for_all_acked(standin_test::kDiscoveryDeadline));
  // Acknowledged means in the reader's cache: one spin_some takes it.
  rclcpp::spin_some(node_);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], sample_event(2));
  rclcpp::spin_some(node_);
  EXPECT_EQ(received.size(), 1u);
}

TEST_F(PubSub, KeepLastDepthKeepsTheNewest)
{
  std::vector<int32_t> ids;
  auto subscription = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(3),
    [&](const DiagnosticEvent & event) { ids.push_back(event.event_id); });
  ASSERT_TRUE(wait_for_subscribers(1));
  for (int i = 0; i < 6; ++i) {
    publisher_->publish(sample_event(i));
  }
  ASSERT_TRUE(publisher_->wait_for_all_acked(standin_test::kDiscoveryDeadline));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  executor.spin_all(std::chrono::seconds(5));
  EXPECT_EQ(ids, (std::vector<int32_t>{8004, 8005, 8006}));
}

TEST_F(PubSub, TopicsStaySeparate)
{
  auto other_publisher =
    node_->create_publisher<DiagnosticEvent>("chassis_pnc_diag_topic", rclcpp::QoS(10));
  std::vector<int32_t> sensor_ids, pnc_ids;
  auto sensor = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&](const DiagnosticEvent & event) { sensor_ids.push_back(event.event_id); });
  auto pnc = node_->create_subscription<DiagnosticEvent>(
    "chassis_pnc_diag_topic", rclcpp::QoS(10),
    [&](const DiagnosticEvent & event) { pnc_ids.push_back(event.event_id); });
  ASSERT_TRUE(wait_for_subscribers(1));
  ASSERT_TRUE(wait_until([&] { return other_publisher->get_subscription_count() == 1; }));
  publisher_->publish(sample_event(0));
  other_publisher->publish(sample_event(1));
  ASSERT_TRUE(publisher_->wait_for_all_acked(standin_test::kDiscoveryDeadline));
  ASSERT_TRUE(other_publisher->wait_for_all_acked(standin_test::kDiscoveryDeadline));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  executor.spin_all(std::chrono::seconds(5));
  EXPECT_EQ(sensor_ids, std::vector<int32_t>{8001});
  EXPECT_EQ(pnc_ids, std::vector<int32_t>{8002});
}

TEST_F(PubSub, PublishingWithoutSubscribersSucceeds)
{
  EXPECT_EQ(publisher_->get_subscription_count(), 0u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_NO_THROW(publisher_->publish(sample_event(i)));
  }
}

TEST_F(PubSub, SubscriptionCountFollowsReaders)
{
  auto subscription = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10), [](const DiagnosticEvent &) {});
  ASSERT_TRUE(wait_for_subscribers(1));
  EXPECT_TRUE(wait_until([&] { return subscription->get_publisher_count() == 1; }));
  subscription.reset();
  EXPECT_TRUE(wait_for_subscribers(0));
}

TEST_F(PubSub, TransientLocalReachesLateSubscribers)
{
  auto latched = node_->create_publisher<std_msgs::msg::Header>(
    "latched_header", rclcpp::QoS(1).transient_local());
  std_msgs::msg::Header header;
  header.frame_id = "map";
  header.stamp.sec = 12;
  latched->publish(header);

  std::vector<std_msgs::msg::Header> received;
  auto late = node_->create_subscription<std_msgs::msg::Header>(
    "latched_header", rclcpp::QoS(1).transient_local(),
    [&](const std_msgs::msg::Header & message) { received.push_back(message); });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  ASSERT_TRUE(spin_until(executor, [&] { return !received.empty(); }));
  EXPECT_EQ(received[0], header);
}

TEST_F(PubSub, DiagnosticArraysArriveIntact)
{
  auto diagnostics =
    node_->create_publisher<DiagnosticArray>(standin_test::kDiagnosticsTopic, rclcpp::QoS(10));
  std::vector<DiagnosticArray> received;
  auto subscription = node_->create_subscription<DiagnosticArray>(
    standin_test::kDiagnosticsTopic, rclcpp::QoS(10),
    [&](DiagnosticArray::UniquePtr array) { received.push_back(*array); });
  EXPECT_STREQ(subscription->get_topic_name(), "/diagnostics");
  ASSERT_TRUE(wait_until([&] { return diagnostics->get_subscription_count() == 1; }));

  // Between two full arrays, one without statuses: a sequence may be empty at any depth.
  const std::vector<DiagnosticArray> sent{
    sample_diagnostics(0), DiagnosticArray(), sample_diagnostics(1)};
  for (const auto & array : sent) {
    diagnostics->publish(array);
  }
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  ASSERT_TRUE(spin_until(executor, [&] { return received.size() == sent.size(); }));
  EXPECT_EQ(received, sent);
}

TEST_F(PubSub, SpinReturnsOnShutdown)
{
  std::atomic_bool returned{false};
  std::thread spinner([&] {
    rclcpp::spin(node_);
    returned = true;
  });
  rclcpp::shutdown();
  EXPECT_TRUE(wait_until([&] { return returned.load(); }));
  spinner.join();
}

TEST_F(PubSub, CancelEndsSpin)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  std::atomic_bool returned{false};
  std::thread spinner([&] {
    executor.spin();
    returned = true;
  });
  ASSERT_TRUE(wait_until([&] { return executor.is_spinning(); }));
  executor.cancel();
  EXPECT_TRUE(wait_until([&] { return returned.load(); }));
  spinner.join();
  EXPECT_TRUE(rclcpp::ok());
}

TEST_F(PubSub, SpinUntilFutureCompleteFinishesOnTheCallback)
{
  std::promise<DiagnosticEvent> promise;
  auto future = promise.get_future().share();
  auto subscription = node_->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&](const DiagnosticEvent & event) { promise.set_value(event); });
  ASSERT_TRUE(wait_for_subscribers(1));
  publisher_->publish(sample_event(4));
  EXPECT_EQ(
    rclcpp::spin_until_future_complete(node_, future, standin_test::kDiscoveryDeadline),
    rclcpp::FutureReturnCode::SUCCESS);
  EXPECT_EQ(future.get(), sample_event(4));
}

TEST_F(PubSub, ANodeJoinsOneExecutorOnly)
{
  rclcpp::executors::SingleThreadedExecutor first, second;
  first.add_node(node_);
  EXPECT_THROW(second.add_node(node_), std::runtime_error);
  first.remove_node(node_);
  EXPECT_NO_THROW(second.add_node(node_));
}
