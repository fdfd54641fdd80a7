// The other process of the cross-process tests, using only the stand-in's rclcpp API:
//   standin_peer publish N   waits for a subscriber, publishes sample events 0..N-1, waits
//                            until they are acknowledged;
//   standin_peer publish_diagnostics N   the same with sample diagnostic arrays 0..N-1;
//   standin_peer receive N   prints the first N events it receives, one line each;
//   standin_peer advertise N has a publisher and publishes nothing; prints "matched" when a
//                            subscriber arrives and ends once N have come and gone, one
//                            after the other (the other side's cue).
// Exit status 0 on success; 2 no subscriber matched, 3 not acknowledged, 4 too few received,
// 5 a subscriber stayed.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sample_events.hpp"
#include "wait_until.hpp"

namespace
{

template <typename MessageT>
int publish(const char * topic, int count, MessageT (*sample)(int))
{
  auto node = std::make_shared<rclcpp::Node>("standin_peer_publisher");
  auto publisher = node->create_publisher<MessageT>(topic, rclcpp::QoS(10));
  if (!standin_test::wait_until([&] { return publisher->get_subscription_count() > 0; })) {
    return 2;
  }
  for (int i = 0; i < count; ++i) {
    publisher->publish(sample(i));
  }
  return publisher->wait_for_all_acked(standin_test::kDiscoveryDeadline) ? 0 : 3;
}

int receive(int count)
{
  auto node = std::make_shared<rclcpp::Node>("standin_peer_receiver");
  int received = 0;
  auto subscription = node->create_subscription<brimtale_protocol::msg::DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&received](const brimtale_protocol::msg::DiagnosticEvent & event) {
      std::cout << standin_test::describe(event) << std::flush;
      ++received;
    });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  // The sender waits for the match itself; this deadline only ends a run gone wrong.
  const auto end = std::chrono::steady_clock::now() + 3 * standin_test::kDiscoveryDeadline;
  while (received < count && rclcpp::ok() && std::chrono::steady_clock::now() < end) {
    executor.spin_once(std::chrono::milliseconds(100));
  }
  return received >= count ? 0 : 4;
}

int advertise(int count)
{
  auto node = std::make_shared<rclcpp::Node>("standin_peer_advertiser");
  auto publisher = node->create_publisher<brimtale_protocol::msg::DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10));
  // The other side looks at the graph first and may take its time before subscribing.
  const auto deadline = 3 * standin_test::kDiscoveryDeadline;
  for (int i = 0; i < count; ++i) {
    if (!standin_test::wait_until(
          [&] { return publisher->get_subscription_count() > 0; }, deadline)) {
      return 2;
    }
    // The subscriber must not leave before this side has seen it.
    std::cout << "matched\n" << std::flush;
    if (!standin_test::wait_until(
          [&] { return publisher->get_subscription_count() == 0; }, deadline)) {
      return 5;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc != 3) {
    std::cerr << "usage: standin_peer publish|publish_diagnostics|receive|advertise COUNT\n";
    return 64;
  }
  const std::string mode = argv[1];
  const int count = std::atoi(argv[2]);
  rclcpp::init(argc, argv);
  int status = 0;
  if (mode == "publish") {
    status = publish(standin_test::kTopic, count, &standin_test::sample_event);
  } else if (mode == "publish_diagnostics") {
    status = publish(standin_test::kDiagnosticsTopic, count, &standin_test::sample_diagnostics);
  } else if (mode == "advertise") {
    status = advertise(count);
  } else {
    status = receive(count);
  }
  rclcpp::shutdown();
  return status;
}
