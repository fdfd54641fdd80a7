// soak_stream: one sensor stream from a process of its own, as a driver would publish it.
//
//   kelvaron_soak_stream TOPIC stamped|plain HZ
//
// "stamped" publishes std_msgs/msg/Header, "plain" builtin_interfaces/msg/Time. After its first
// message it prints "first <steady-clock ns>" so the churn driver knows when the stream returned
// (the steady clock is the machine's monotonic clock, shared by every process). Ends on SIGINT.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include <builtin_interfaces/msg/time.hpp>
#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

namespace
{

void publishUntilInterrupted(
  const std::string & topic, bool stamped, std::chrono::nanoseconds period)
{
  auto node = std::make_shared<rclcpp::Node>("soak_stream");
  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>> stamped_publisher;
  std::shared_ptr<rclcpp::Publisher<builtin_interfaces::msg::Time>> plain_publisher;
  if (stamped) {
    stamped_publisher = node->create_publisher<std_msgs::msg::Header>(topic, rclcpp::QoS(10));
  } else {
    plain_publisher = node->create_publisher<builtin_interfaces::msg::Time>(topic, rclcpp::QoS(10));
  }
  auto next = std::chrono::steady_clock::now();
  bool first = true;
  while (rclcpp::ok()) {
    if (stamped) {
      std_msgs::msg::Header header;
      header.stamp = clock.now();
      header.frame_id = "soak";
      stamped_publisher->publish(header);
    } else {
      const builtin_interfaces::msg::Time now = clock.now();
      plain_publisher->publish(now);
    }
    if (first) {
      first = false;
      const auto now = std::chrono::steady_clock::now().time_since_epoch();
      std::cout << "first " << std::chrono::nanoseconds(now).count() << std::endl;
    }
    next += period;
    std::this_thread::sleep_until(next);
  }
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc != 4) {
    std::cerr << "usage: kelvaron_soak_stream TOPIC stamped|plain HZ\n";
    return 2;
  }
  const auto period = std::chrono::nanoseconds(static_cast<int64_t>(1e9 / std::atof(argv[3])));
  rclcpp::init(0, nullptr);
  try {
    publishUntilInterrupted(argv[1], std::string(argv[2]) == "stamped", period);
  } catch (const std::exception &) {
    // Interrupted while starting on a busy machine: the context is gone under the node.
    if (rclcpp::ok()) {
      throw;
    }
  }
  rclcpp::shutdown();
  return 0;
}
