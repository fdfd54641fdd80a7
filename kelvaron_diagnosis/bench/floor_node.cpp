// The least a node can do with a set of topics: one generic subscription per topic, with the
// QoS kelvaron_diag_node uses, and a callback that only counts. kelvaron_bench_floor sets
// kelvaron_diag_node's CPU beside this program's on the same load. Plain rclcpp only, so that
// it builds against a real ROS 2 as well as against the stand-in.
//
//   kelvaron_bench_floor_node [--type TYPE] [--count-file FILE] [--prefix PREFIX --count N]
//                             [--loop spin|batches] [TOPIC...] [--ros-args ...]
//
// Topics are the ones named, plus PREFIX0 .. PREFIX(N-1). `--loop spin` (the default) is
// rclcpp::spin, what the simplest node does; `--loop batches` is kelvaron_diag_node's own loop
// (wait for a message, then take everything ready), so that the difference to the node is
// what the node does with a message. On SIGINT or SIGTERM it prints how many messages it
// counted (and writes the number to FILE when given).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <rclcpp/rclcpp.hpp>

namespace
{

struct Options
{
  std::string type{"std_msgs/msg/Header"};
  std::string count_file;
  bool batches{false};
  std::vector<std::string> topics;
};

bool parse(int argc, char ** argv, Options & options)
{
  std::string prefix;
  long count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--ros-args") {
      break;
    } else if (arg == "--type" && has_value) {
      options.type = argv[++i];
    } else if (arg == "--count-file" && has_value) {
      options.count_file = argv[++i];
    } else if (arg == "--loop" && has_value) {
      const std::string loop = argv[++i];
      if (loop != "spin" && loop != "batches") {
        return false;
      }
      options.batches = loop == "batches";
    } else if (arg == "--prefix" && has_value) {
      prefix = argv[++i];
    } else if (arg == "--count" && has_value) {
      count = std::atol(argv[++i]);
    } else if (!arg.empty() && arg.front() != '-') {
      options.topics.push_back(arg);
    } else {
      return false;
    }
  }
  for (long i = 0; i < count; ++i) {
    options.topics.push_back(prefix + std::to_string(i));
  }
  return !options.topics.empty();
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(
      stderr,
      "usage: kelvaron_bench_floor_node [--type TYPE] [--count-file FILE]"
      " [--prefix PREFIX --count N] [--loop spin|batches] [TOPIC...] [--ros-args ...]\n");
    return 2;
  }
  rclcpp::init(argc, argv);
  uint64_t counted = 0;
  {
    auto node = std::make_shared<rclcpp::Node>("kelvaron_bench_floor_node");
    const rclcpp::QoS qos = rclcpp::QoS(100).best_effort().durability_volatile();
    std::vector<std::shared_ptr<rclcpp::GenericSubscription>> subscriptions;
    for (const std::string & topic : options.topics) {
      subscriptions.push_back(node->create_generic_subscription(
        topic, options.type, qos,
        [&counted](std::shared_ptr<rclcpp::SerializedMessage>) { ++counted; }));
    }
    // Until SIGINT or SIGTERM.
    if (options.batches) {
      rclcpp::executors::SingleThreadedExecutor executor;
      executor.add_node(node);
      while (rclcpp::ok()) {
        executor.spin_once(std::chrono::milliseconds(100));
        executor.spin_all(std::chrono::milliseconds(50));
      }
      executor.remove_node(node);
    } else {
      rclcpp::spin(node);
    }
  }
  rclcpp::shutdown();
  std::printf("counted %llu\n", static_cast<unsigned long long>(counted));
  if (!options.count_file.empty()) {
    std::ofstream(options.count_file) << counted << "\n";
  }
  return 0;
}
