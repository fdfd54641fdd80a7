#pragma once

// A listener on /diagnostics, as a ROS 2 dashboard would be.

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <diagnostic_msgs/msg/diagnostic_array.hpp>
#include <rclcpp/rclcpp.hpp>

class DiagnosticsListener
{
public:
  DiagnosticsListener() : node_(std::make_shared<rclcpp::Node>("kelvaron_test_diagnostics"))
  {
    subscription_ = node_->create_subscription<diagnostic_msgs::msg::DiagnosticArray>(
      "/diagnostics", rclcpp::QoS(10),
      [this](const diagnostic_msgs::msg::DiagnosticArray & array) { arrays_.push_back(array); });
    executor_.add_node(node_);
  }

  // Spins for `duration` and returns what arrived meanwhile.
  std::vector<diagnostic_msgs::msg::DiagnosticArray> drain(std::chrono::milliseconds duration)
  {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until) {
      executor_.spin_some();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::exchange(arrays_, {});
  }

  // Spins until an array arrives (or a generous deadline passes) and returns the first.
  std::optional<diagnostic_msgs::msg::DiagnosticArray> next()
  {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (arrays_.empty() && std::chrono::steady_clock::now() < until) {
      executor_.spin_some();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (arrays_.empty()) {
      return std::nullopt;
    }
    auto first = arrays_.front();
    arrays_.clear();
    return first;
  }

  // Publishers of /diagnostics matched with the listener.
  std::size_t publisherCount() const { return subscription_->get_publisher_count(); }

private:
  std::shared_ptr<rclcpp::Node> node_;
  std::shared_ptr<rclcpp::Subscription<diagnostic_msgs::msg::DiagnosticArray>> subscription_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::vector<diagnostic_msgs::msg::DiagnosticArray> arrays_;
};
