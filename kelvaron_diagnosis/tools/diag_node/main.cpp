// kelvaron_diag_node: stream health for any ROS 2 system, without touching its code. It
// subscribes to the topics of a threshold file and reports their frames to the library.
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <ament_index_cpp/get_package_share_directory.hpp>
#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "topic_monitor.hpp"

namespace
{

constexpr const char * kUsage =
  "Usage: kelvaron_diag_node [--config FILE] [--ros-args ...]\n"
  "\n"
  "Monitors the topics of a threshold file: subscribes to each (whatever its type, best effort)\n"
  "as soon as a publisher has made its type known, reports every message to the library, and\n"
  "publishes the library's events (and /diagnostics when the file asks for it). The file is\n"
  "watched: an edit adds or drops topics without a restart. Ctrl-C or SIGTERM ends it.\n"
  "\n"
  "  --config FILE  threshold file (default: the package's config/sensor_thresholds.yaml)\n"
  "  --help         this text\n"
  "\n"
  "Arguments after --ros-args go to ROS 2 (remapping, namespace, parameters).\n";

constexpr auto kRefreshPeriod = std::chrono::seconds(1);

std::string defaultConfigPath()
{
  try {
    return ament_index_cpp::get_package_share_directory("kelvaron_diagnosis") +
           "/config/sensor_thresholds.yaml";
  } catch (const std::exception &) {
    return "/opt/ros/humble/share/kelvaron_diagnosis/config/sensor_thresholds.yaml";
  }
}

}  // namespace

int main(int argc, char ** argv)
{
  std::string config_path;
  // Our own options come before --ros-args; everything from there on belongs to ROS 2.
  std::vector<char *> ros_argv{argv[0]};
  bool in_ros_args = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (in_ros_args || arg == "--ros-args") {
      in_ros_args = true;
      ros_argv.push_back(argv[i]);
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--config" && i + 1 < argc) {
      config_path = argv[++i];
    } else {
      std::cerr << "kelvaron_diag_node: unknown argument '" << arg << "'\n\n" << kUsage;
      return 2;
    }
  }
  if (config_path.empty()) {
    config_path = defaultConfigPath();
  }

  rclcpp::init(static_cast<int>(ros_argv.size()), ros_argv.data());
  int status = 0;
  {
    Diagnosis diagnosis;
    if (!diagnosis.initialize(config_path)) {
      // The library has printed what is wrong with the file.
      status = 1;
    } else {
      diagnosis.startTimer();
      diagnosis.startConfigWatcher();
      auto node = std::make_shared<rclcpp::Node>("kelvaron_diag_node");
      kelvaron::diag_node::TopicMonitor monitor(*node, diagnosis, config_path);
      rclcpp::executors::SingleThreadedExecutor executor;
      executor.add_node(node);
      auto next_refresh = std::chrono::steady_clock::now();
      while (rclcpp::ok()) {
        if (std::chrono::steady_clock::now() >= next_refresh) {
          monitor.refresh();
          next_refresh = std::chrono::steady_clock::now() + kRefreshPeriod;
        }
        // Wait for a message, then take everything that is ready before looking again.
        executor.spin_once(std::chrono::milliseconds(100));
        executor.spin_all(std::chrono::milliseconds(50));
      }
      executor.remove_node(node);
    }
  }  // subscriptions, then the library's threads and nodes, go before the context
  rclcpp::shutdown();
  return status;
}
