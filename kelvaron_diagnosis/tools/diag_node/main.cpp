// kelvaron_diag_node: stream health for any ROS 2 system, without touching its code. It
// subscribes to the topics of a threshold file and reports their frames to the library.
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <ament_index_cpp/get_package_share_directory.hpp>
#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "allocator_policy.hpp"
#include "metrics_endpoint.hpp"
#include "node_parameters.hpp"
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
  "  --config FILE  threshold file; wins over the config_file parameter\n"
  "  --help         this text\n"
  "\n"
  "Arguments after --ros-args go to ROS 2, as for every node:\n"
  "  -p config_file:=FILE    threshold file (default: the package's "
  "config/sensor_thresholds.yaml)\n"
  "  -p use_sim_time:=true   judge streams by /clock (simulation)\n"
  "  -p metrics_port:=9100   serve Prometheus metrics on GET /metrics (default 0: off)\n"
  "  -p metrics_address:=IP  address the metrics endpoint listens on (default 127.0.0.1)\n"
  "  --params-file FILE      parameters from a file (kelvaron_diag_node: or /**: "
  "ros__parameters:)\n"
  "  -r __ns:=/robot1        namespace: relative topics of the file resolve under it\n"
  "  -r from:=to             remap a topic\n";

constexpr auto kRefreshPeriod = std::chrono::seconds(1);
// Often enough that freed memory never piles up for long, rare enough to cost nothing.
constexpr auto kFreeMemoryPeriod = std::chrono::minutes(1);

std::string defaultConfigPath()
{
  try {
    return ament_index_cpp::get_package_share_directory("kelvaron_diagnosis") +
           "/config/sensor_thresholds.yaml";
  } catch (const std::exception &) {
    return KELVARON_FALLBACK_CONFIG_PATH;  // where the release installs it
  }
}

// Runs the node until shutdown; the exit status.
int run(const std::optional<std::string> & config_option)
{
  std::shared_ptr<rclcpp::Node> node;
  std::string config_path;
  kelvaron::diag_node::MetricsParameters metrics;
  try {
    node = std::make_shared<rclcpp::Node>("kelvaron_diag_node");
    config_path = kelvaron::diag_node::chooseConfigFile(*node, config_option, defaultConfigPath());
    metrics = kelvaron::diag_node::chooseMetricsEndpoint(*node);
  } catch (const std::exception & error) {
    // A parameter of the wrong type (use_sim_time, config_file, metrics_*): nothing has started
    // yet.
    std::cerr << "kelvaron_diag_node: " << kelvaron::diag_node::oneLine(error.what()) << "\n";
    return 2;
  }

  // Constructed before the endpoint so that it outlives the endpoint's threads; construction
  // does no work.
  Diagnosis diagnosis;
  std::unique_ptr<kelvaron::diag_node::MetricsEndpoint> endpoint;
  if (metrics.port != 0) {
    try {
      endpoint = std::make_unique<kelvaron::diag_node::MetricsEndpoint>(metrics);
    } catch (const std::exception & error) {
      // A port that is taken, an address that is not ours: still nothing has started.
      std::cerr << "kelvaron_diag_node: " << kelvaron::diag_node::oneLine(error.what()) << "\n";
      return 2;
    }
  }
  // The node's use_sim_time and namespace decide for the library, however they reached it.
  diagnosis.useHostNode(node);
  if (!diagnosis.initialize(config_path)) {
    return 1;  // the library has printed what is wrong with the file
  }
  if (endpoint) {
    endpoint->serve(diagnosis);
  }
  diagnosis.startTimer();
  diagnosis.startConfigWatcher();
  kelvaron::diag_node::TopicMonitor monitor(*node, diagnosis, config_path);
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  auto next_refresh = std::chrono::steady_clock::now();
  auto next_free_memory = next_refresh + kFreeMemoryPeriod;
  while (rclcpp::ok()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= next_free_memory) {
      kelvaron::diag_node::returnFreeMemory();
      next_free_memory = now + kFreeMemoryPeriod;
    }
    if (now >= next_refresh) {
      try {
        monitor.refresh();
      } catch (const std::exception &) {
        if (!rclcpp::ok()) {
          break;  // SIGINT or SIGTERM shut the context down under the graph query
        }
        throw;
      }
      next_refresh = std::chrono::steady_clock::now() + kRefreshPeriod;
      continue;
    }
    // One message per call, exactly as spin() takes them: a wait only once everything ready has
    // been taken. spin_some() or spin_all() would add a wait that finds nothing to every batch,
    // which costs more than the frame report itself at tens of thousands of messages a second.
    executor.spin_once(next_refresh - now);
    monitor.boundHistories();
  }
  executor.remove_node(node);
  return 0;
}  // subscriptions, then the library's threads and nodes, go before the context

}  // namespace

int main(int argc, char ** argv)
{
  kelvaron::diag_node::limitAllocatorArenas();
  std::optional<std::string> config_option;
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
      config_option = argv[++i];
    } else {
      std::cerr << "kelvaron_diag_node: unknown argument '" << arg << "'\n\n" << kUsage;
      return 2;
    }
  }

  try {
    rclcpp::init(static_cast<int>(ros_argv.size()), ros_argv.data());
  } catch (const std::exception & error) {
    // rclcpp names the argument it could not take (a malformed rule, an unreadable or
    // malformed params file).
    std::cerr << "kelvaron_diag_node: invalid ROS arguments: "
              << kelvaron::diag_node::oneLine(error.what()) << "\n";
    return 2;
  }
  const int status = run(config_option);
  rclcpp::shutdown();
  return status;
}
