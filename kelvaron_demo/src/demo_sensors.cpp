// A robot's sensor drivers, simulated in a process of their own: they publish ordinary ROS 2
// messages and know nothing of the health monitor.
//
//   demo_sensors [--duration SECONDS]
//
// /scan_01 healthy, /camera_01/color/image_raw at 30 % of its rate, /imu/data silent from 5 s
// to 9 s; /scan_02 is in the demo's threshold file but never published.

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

#include "simulated_sensors.hpp"

int main(int argc, char ** argv)
{
  using namespace std::chrono_literals;
  double duration_s = 15.0;
  if (argc > 2 && std::string(argv[1]) == "--duration") {
    duration_s = std::atof(argv[2]);
  }
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("demo_sensors");

  // Rates as the demo's threshold file expects them: 15 Hz lidar, 30 Hz camera, 100 Hz IMU.
  std::vector<SimulatedStream> streams{
    {"/scan_01", "front_laser", 15.0},
    {"/camera_01/color/image_raw", "camera_01_color", 30.0 * 0.3},
    {"/imu/data", "imu_link", 100.0, 5000ms, 9000ms},
  };
  // Each stream as a driver would publish it: a stamped message with its frame.
  std::map<std::string, std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>>> publishers;
  for (const SimulatedStream & stream : streams) {
    publishers[stream.topic] =
      node->create_publisher<std_msgs::msg::Header>(stream.topic, rclcpp::QoS(10));
  }
  std::cout << "demo_sensors: /scan_01 at 15 Hz (healthy), /camera_01/color/image_raw at 9 Hz "
               "(below its 30 Hz), /imu/data at 100 Hz silent from 5 s to 9 s, /scan_02 never"
            << std::endl;

  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  runStreams(
    streams, duration_s,
    [&](const SimulatedStream & stream) {
      std_msgs::msg::Header header;
      header.stamp = clock.now();
      header.frame_id = stream.frame_id;
      publishers[stream.topic]->publish(header);
    },
    [](std::chrono::milliseconds) {});
  publishers.clear();
  node.reset();
  rclcpp::shutdown();
  return 0;
}
