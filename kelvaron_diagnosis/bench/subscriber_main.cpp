// The subscriber in another process for the health-pass benchmarks: a ROS 2 node on
// "sensor_proxy_diag_topic" with QoS(10) that takes and counts every event, as a monitor
// would, until it is interrupted.

#include <cstdint>
#include <iostream>
#include <memory>

#include <brimtale_protocol/msg/diagnostic_event.hpp>
#include <rclcpp/rclcpp.hpp>

int main(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  uint64_t received = 0;
  {
    auto node = std::make_shared<rclcpp::Node>("kelvaron_bench_subscriber");
    auto subscription = node->create_subscription<brimtale_protocol::msg::DiagnosticEvent>(
      "sensor_proxy_diag_topic", rclcpp::QoS(10),
      [&received](const brimtale_protocol::msg::DiagnosticEvent &) { ++received; });
    rclcpp::spin(node);
  }
  std::cerr << "kelvaron_bench_subscriber: received " << received << " events\n";
  rclcpp::shutdown();
  return 0;
}
