// A robot's sensor drivers, simulated in a process of their own: they publish ordinary ROS 2
// messages and know nothing of the health monitor.
//
//   demo_sensors [--duration SECONDS] [--sim]
//
// /scan_01 healthy, /camera_01/color/image_raw at 30 % of its rate, /imu/data silent from 5 s
// to 9 s; /scan_02 is in the demo's threshold file but never published.
//
// With --sim the drivers run inside a simulation instead: this process also publishes /clock,
// at half real time with a three-second pause, and every driver publishes at its normal rate of
// simulated time, stamped with it.

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <rosgraph_msgs/msg/clock.hpp>
#include <std_msgs/msg/header.hpp>

#include "simulated_clock.hpp"
#include "simulated_sensors.hpp"

namespace
{

using namespace std::chrono_literals;
using HeaderPublishers =
  std::map<std::string, std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>>>;

void publishFrame(HeaderPublishers & publishers, const SimulatedStream & stream, rclcpp::Time stamp)
{
  std_msgs::msg::Header header;
  header.stamp = stamp;
  header.frame_id = stream.frame_id;
  publishers[stream.topic]->publish(header);
}

// The drivers inside a simulation: /clock and the streams advance together in simulated time.
void runSimulated(
  rclcpp::Node & node, std::vector<SimulatedStream> & streams, HeaderPublishers & publishers,
  double duration_s)
{
  const SimulatedClock simulated(0.5, 3000ms, 3000ms);
  auto clock_publisher =
    node.create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::ClockQoS());
  std::map<std::string, std::chrono::nanoseconds> next_frame;
  const auto started = std::chrono::steady_clock::now();
  bool announced_pause = false;
  while (rclcpp::ok()) {
    const auto real = std::chrono::steady_clock::now() - started;
    if (real >= std::chrono::duration<double>(duration_s)) {
      return;
    }
    const std::chrono::nanoseconds now = simulated.at(real);
    if (!announced_pause && now >= 3000ms) {
      announced_pause = true;
      std::cout << "demo_sensors: simulation paused for 3 s" << std::endl;
    }
    rosgraph_msgs::msg::Clock tick;
    tick.clock = rclcpp::Time(now.count(), RCL_ROS_TIME);
    clock_publisher->publish(tick);
    for (const SimulatedStream & stream : streams) {
      const auto period = std::chrono::nanoseconds(static_cast<int64_t>(1e9 / stream.rate_hz));
      auto & next = next_frame[stream.topic];
      for (; next <= now; next += period) {
        publishFrame(publishers, stream, rclcpp::Time(next.count(), RCL_ROS_TIME));
      }
    }
    std::this_thread::sleep_for(5ms);
  }
}

}  // namespace

int main(int argc, char ** argv)
{
  double duration_s = 15.0;
  bool simulation = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--duration" && i + 1 < argc) {
      duration_s = std::atof(argv[++i]);
    } else if (arg == "--sim") {
      simulation = true;
    }
  }
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("demo_sensors");

  // Rates as the demo's threshold file expects them: 15 Hz lidar, 30 Hz camera, 100 Hz IMU.
  // In the simulation every driver is healthy: the point there is that they stay so.
  std::vector<SimulatedStream> streams{
    {"/scan_01", "front_laser", 15.0},
    {"/camera_01/color/image_raw", "camera_01_color", simulation ? 30.0 : 30.0 * 0.3},
    {"/imu/data", "imu_link", 100.0, simulation ? 0ms : 5000ms, simulation ? 0ms : 9000ms},
  };
  // Each stream as a driver would publish it: a stamped message with its frame.
  HeaderPublishers publishers;
  for (const SimulatedStream & stream : streams) {
    publishers[stream.topic] =
      node->create_publisher<std_msgs::msg::Header>(stream.topic, rclcpp::QoS(10));
  }
  if (simulation) {
    std::cout << "demo_sensors: simulated time at half real time; /scan_01 at 15 Hz, "
                 "/camera_01/color/image_raw at 30 Hz, /imu/data at 100 Hz of simulated time, "
                 "/scan_02 never"
              << std::endl;
    runSimulated(*node, streams, publishers, duration_s);
  } else {
    std::cout << "demo_sensors: /scan_01 at 15 Hz (healthy), /camera_01/color/image_raw at 9 Hz "
                 "(below its 30 Hz), /imu/data at 100 Hz silent from 5 s to 9 s, /scan_02 never"
              << std::endl;
    rclcpp::Clock clock(RCL_SYSTEM_TIME);
    runStreams(
      streams, duration_s,
      [&](const SimulatedStream & stream) { publishFrame(publishers, stream, clock.now()); },
      [](std::chrono::milliseconds) {});
  }
  publishers.clear();
  node.reset();
  rclcpp::shutdown();
  return 0;
}
