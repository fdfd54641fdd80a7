// Generic subscriptions (serialized messages of a type known by name only) and the graph
// questions of a node, over DDS, within one process and across two.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "child_process.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sample_events.hpp"
#include "spin_helpers.hpp"
#include "std_msgs/msg/header.hpp"
#include "wait_until.hpp"

using brimtale_protocol::msg::DiagnosticEvent;
using standin_test::ChildProcess;
using standin_test::sample_event;
using standin_test::spin_until;
using standin_test::wait_until;
using Bytes = std::vector<unsigned char>;

namespace
{

constexpr char kEventType[] = "brimtale_protocol/msg/DiagnosticEvent";
constexpr std::chrono::seconds kChildDeadline{60};

Bytes bytes_of(const rclcpp::SerializedMessage & message)
{
  const rcl_serialized_message_t & raw = message.get_rcl_serialized_message();
  return Bytes(raw.buffer, raw.buffer + raw.buffer_length);
}

int32_t event_id_of(const Bytes & event)
{
  // After the encapsulation and the header of sample_event(): see expected_cdr_of_sample_event_0.
  int32_t id = 0;
  std::memcpy(&id, event.data() + 24, sizeof(id));
  return id;
}

class Generic : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("generic_test");
    executor_.add_node(node_);
  }
  void TearDown() override { rclcpp::shutdown(); }

  // A generic subscription on the sample events' topic that collects what arrives.
  rclcpp::GenericSubscription::SharedPtr subscribe(const rclcpp::QoS & qos = rclcpp::QoS(10))
  {
    return node_->create_generic_subscription(
      standin_test::kTopic, kEventType, qos,
      [this](std::shared_ptr<rclcpp::SerializedMessage> message) {
        received_.push_back(bytes_of(*message));
      });
  }

  bool spin_until_received(size_t count, std::chrono::milliseconds deadline = kChildDeadline)
  {
    return spin_until(
      executor_, [&] { return received_.size() >= count; }, deadline);
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::vector<Bytes> received_;
};

}  // namespace

TEST_F(Generic, GetsTheBytesOfATypedPublisherInProcess)
{
  auto publisher = node_->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  auto subscription = subscribe();
  EXPECT_STREQ(subscription->get_topic_name(), "/sensor_proxy_diag_topic");
  ASSERT_TRUE(wait_until([&] { return publisher->get_subscription_count() == 1; }));
  publisher->publish(sample_event(0));
  ASSERT_TRUE(spin_until_received(1));
  EXPECT_EQ(received_[0], standin_test::expected_cdr_of_sample_event_0());
}

TEST_F(Generic, KeepsThePaddingTheWireCarries)
{
  auto publisher = node_->create_publisher<std_msgs::msg::Header>("header", rclcpp::QoS(10));
  std::vector<Bytes> headers;
  auto subscription = node_->create_generic_subscription(
    "header", "std_msgs/msg/Header", rclcpp::QoS(10),
    [&headers](std::shared_ptr<rclcpp::SerializedMessage> message) {
      headers.push_back(bytes_of(*message));
    });
  ASSERT_TRUE(wait_until([&] { return publisher->get_subscription_count() == 1; }));
  std_msgs::msg::Header header;
  header.stamp.sec = 12;
  header.stamp.nanosec = 34;
  header.frame_id = "lidar";
  publisher->publish(header);
  ASSERT_TRUE(spin_until(executor_, [&] { return !headers.empty(); }));
  // An 18-byte body goes out padded to 20, the padding counted in the options.
  const Bytes expected = {
    0x00, 0x01, 0x00, 0x02,             // CDR little-endian, options: 2 bytes of padding
    0x0C, 0x00, 0x00, 0x00,             // stamp.sec = 12
    0x22, 0x00, 0x00, 0x00,             // stamp.nanosec = 34
    0x06, 0x00, 0x00, 0x00,             // frame_id length, NUL included
    'l',  'i',  'd',  'a',  'r', 0x00,  // "lidar" and NUL
    0x00, 0x00,                         // padding
  };
  EXPECT_EQ(headers[0], expected);
}

TEST_F(Generic, BestEffortReaderMatchesAReliableWriter)
{
  auto publisher = node_->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  auto subscription = subscribe(rclcpp::QoS(10).best_effort());
  ASSERT_TRUE(wait_until([&] { return publisher->get_subscription_count() == 1; }));
  EXPECT_EQ(subscription->get_publisher_count(), 1u);
  EXPECT_EQ(subscription->get_actual_qos().reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  publisher->publish(sample_event(0));
  ASSERT_TRUE(spin_until_received(1));
  EXPECT_EQ(received_[0], standin_test::expected_cdr_of_sample_event_0());
}

TEST_F(Generic, KeepLastDepthKeepsTheNewest)
{
  auto publisher = node_->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  auto subscription = subscribe(rclcpp::QoS(3));
  ASSERT_TRUE(wait_until([&] { return publisher->get_subscription_count() == 1; }));
  for (int i = 0; i < 6; ++i) {
    publisher->publish(sample_event(i));
  }
  ASSERT_TRUE(publisher->wait_for_all_acked(standin_test::kDiscoveryDeadline));
  executor_.spin_all(std::chrono::seconds(5));
  ASSERT_EQ(received_.size(), 3u);
  EXPECT_EQ(event_id_of(received_[0]), 8004);
  EXPECT_EQ(event_id_of(received_[2]), 8006);
}

TEST_F(Generic, GetsTheBytesOfAPublisherInAnotherProcess)
{
  auto subscription = subscribe();
  ChildProcess peer({STANDIN_PEER_PATH, "publish", "1"});
  ASSERT_TRUE(spin_until_received(1));
  EXPECT_EQ(received_[0], standin_test::expected_cdr_of_sample_event_0());
  EXPECT_EQ(peer.wait_for_exit(kChildDeadline), 0);
}

TEST_F(Generic, TypeNamesNotOfTheFormPackageTypeAreRefused)
{
  const auto ignore = [](std::shared_ptr<rclcpp::SerializedMessage>) {};
  for (const char * type : {"DiagnosticEvent", "brimtale_protocol/", "a/b/c/D", "/msg/D"}) {
    EXPECT_THROW(
      node_->create_generic_subscription(standin_test::kTopic, type, rclcpp::QoS(10), ignore),
      std::runtime_error)
      << type;
  }
  // The package's "msg" module is implied when left out.
  EXPECT_NO_THROW(node_->create_generic_subscription(
    standin_test::kTopic, "brimtale_protocol/DiagnosticEvent", rclcpp::QoS(10), ignore));
}

TEST_F(Generic, GraphShowsOwnEndpointsOfRosTopicsOnly)
{
  const std::string topic = "/sensor_proxy_diag_topic";
  EXPECT_EQ(node_->count_publishers(standin_test::kTopic), 0u);
  auto publisher = node_->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  auto header_subscription = node_->create_subscription<std_msgs::msg::Header>(
    "header", rclcpp::QoS(10), [](const std_msgs::msg::Header &) {});
  EXPECT_EQ(node_->count_publishers(standin_test::kTopic), 1u);
  EXPECT_EQ(node_->count_publishers(topic), 1u);
  EXPECT_EQ(node_->count_publishers("header"), 0u);
  // Writers only, each with its type.
  const auto publishers = node_->get_publishers_info_by_topic(topic);
  ASSERT_EQ(publishers.size(), 1u);
  EXPECT_EQ(publishers.front().topic_type(), kEventType);
  EXPECT_TRUE(node_->get_publishers_info_by_topic("header").empty());

  const auto names_and_types = node_->get_topic_names_and_types();
  const std::map<std::string, std::vector<std::string>> expected{
    {topic, {kEventType}}, {"/header", {"std_msgs/msg/Header"}}};
  // ros_discovery_info is no ROS topic.
  EXPECT_EQ(names_and_types, expected);

  publisher.reset();
  EXPECT_EQ(node_->count_publishers(topic), 0u);
  EXPECT_EQ(node_->get_topic_names_and_types().count(topic), 0u);
}

TEST_F(Generic, GraphShowsAPublisherOfAnotherProcessComeAndGo)
{
  const std::string topic = "/sensor_proxy_diag_topic";
  const rclcpp::Event::SharedPtr graph_event = node_->get_graph_event();
  ChildProcess peer({STANDIN_PEER_PATH, "advertise", "1"});
  ASSERT_TRUE(wait_until([&] { return node_->count_publishers(topic) == 1; }, kChildDeadline));
  EXPECT_TRUE(graph_event->check_and_clear());
  const auto names_and_types = node_->get_topic_names_and_types();
  ASSERT_EQ(names_and_types.count(topic), 1u);
  EXPECT_EQ(names_and_types.at(topic), std::vector<std::string>{kEventType});

  // The peer leaves once a subscriber has come and gone.
  auto subscription = subscribe();
  ASSERT_TRUE(wait_until([&] { return peer.output() == "matched\n"; }, kChildDeadline));
  subscription.reset();
  ASSERT_EQ(peer.wait_for_exit(kChildDeadline), 0);
  EXPECT_TRUE(wait_until([&] { return node_->count_publishers(topic) == 0; }));
  EXPECT_EQ(node_->get_topic_names_and_types().count(topic), 0u);
  EXPECT_TRUE(graph_event->check_and_clear());
}

TEST_F(Generic, GraphQuestionsThrowAfterShutdown)
{
  const rclcpp::Event::SharedPtr graph_event = node_->get_graph_event();
  graph_event->check_and_clear();
  rclcpp::shutdown();
  EXPECT_TRUE(graph_event->check_and_clear()) << "a waiter learns that the graph is gone";
  EXPECT_THROW(node_->get_topic_names_and_types(), std::runtime_error);
  EXPECT_THROW(node_->count_publishers(standin_test::kTopic), std::runtime_error);
  EXPECT_THROW(node_->get_graph_event(), std::runtime_error);
}
