// A large, idle ROS graph for kelvaron_bench_large_graph: COUNT publishers of std_msgs/Header
// (graphTopic(0) .. graphTopic(COUNT - 1)) that never publish. Twice a second it writes to
// STATUS_FILE how many of the first WATCHED topics have a subscriber, so that the benchmark can
// tell when a node has subscribed to all of its file. Runs until SIGINT or SIGTERM.
//
//   kelvaron_bench_graph_publishers COUNT WATCHED STATUS_FILE

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

#include "support/graph_topics.hpp"

int main(int argc, char ** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: kelvaron_bench_graph_publishers COUNT WATCHED STATUS_FILE\n");
    return 2;
  }
  const auto count = static_cast<std::size_t>(std::atol(argv[1]));
  const auto watched = static_cast<std::size_t>(std::atol(argv[2]));
  const std::string status_file = argv[3];
  rclcpp::init(0, nullptr);
  {
    auto node = std::make_shared<rclcpp::Node>("kelvaron_bench_graph_publishers");
    std::vector<std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>>> publishers;
    for (std::size_t i = 0; i < count; ++i) {
      publishers.push_back(node->create_publisher<std_msgs::msg::Header>(
        graphTopic(i), rclcpp::QoS(10).best_effort()));
    }
    while (rclcpp::ok()) {
      std::size_t subscribed = 0;
      for (std::size_t i = 0; i < watched && i < publishers.size(); ++i) {
        subscribed += publishers[i]->get_subscription_count() > 0 ? 1 : 0;
      }
      // Written aside and renamed, so that a reader never sees half a number.
      std::ofstream(status_file + ".new") << publishers.size() << " " << subscribed << "\n";
      std::rename((status_file + ".new").c_str(), status_file.c_str());
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
  }
  rclcpp::shutdown();
  return 0;
}
