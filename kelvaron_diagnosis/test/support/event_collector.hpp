#pragma once

// Subscribes to the library's three event topics, as a separate ROS 2 node would, and
// collects what arrives.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <brimtale_protocol/msg/diagnostic_event.hpp>
#include <kelvaron_diagnosis/event_catalog.hpp>
#include <rclcpp/rclcpp.hpp>

struct ReceivedEvent
{
  std::string topic;
  brimtale_protocol::msg::DiagnosticEvent event;
};

class EventCollector
{
public:
  static constexpr std::string_view kSensorProxyTopic =
    kelvaron::channelInfo(kelvaron::Channel::kSensorProxy).topic;
  static constexpr std::string_view kChassisPncTopic =
    kelvaron::channelInfo(kelvaron::Channel::kChassisPnc).topic;
  static constexpr std::string_view kChassisLocTopic =
    kelvaron::channelInfo(kelvaron::Channel::kChassisLoc).topic;

  explicit EventCollector(const std::string & node_name = "kelvaron_test_collector")
  : node_(std::make_shared<rclcpp::Node>(node_name))
  {
    executor_.add_node(node_);
    for (const kelvaron::ChannelInfo & channel : kelvaron::kChannels) {
      const std::string name(channel.topic);
      subscriptions_.push_back(node_->create_subscription<brimtale_protocol::msg::DiagnosticEvent>(
        name, rclcpp::QoS(100), [this, name](const brimtale_protocol::msg::DiagnosticEvent & msg) {
          std::lock_guard<std::mutex> lock(mutex_);
          received_.push_back({name, msg});
        }));
    }
  }

  // Spins until every event topic has a publisher matched (or `timeout` passes), so that a
  // check for silence cannot pass merely because discovery is slow.
  bool waitForPublishers(std::chrono::milliseconds timeout = std::chrono::seconds(15))
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (const auto & subscription : subscriptions_) {
      while (subscription->get_publisher_count() == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
          return false;
        }
        executor_.spin_all(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    return true;
  }

  // Spins until `done` holds for what has arrived or `timeout` passes; returns whether it held.
  bool waitFor(
    const std::function<bool(const std::vector<ReceivedEvent> &)> & done,
    std::chrono::milliseconds timeout = std::chrono::seconds(15))
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
      executor_.spin_all(std::chrono::milliseconds(10));
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (done(received_)) {
          return true;
        }
      }
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  // Waits until an event on `topic` matches `match`.
  bool waitForEvent(
    std::string_view topic,
    const std::function<bool(const brimtale_protocol::msg::DiagnosticEvent &)> & match,
    std::chrono::milliseconds timeout = std::chrono::seconds(15))
  {
    return waitFor(
      [&](const std::vector<ReceivedEvent> & events) {
        for (const ReceivedEvent & received : events) {
          if (received.topic == topic && match(received.event)) {
            return true;
          }
        }
        return false;
      },
      timeout);
  }

  // Keeps spinning for `duration` and returns everything received so far.
  std::vector<ReceivedEvent> drain(std::chrono::milliseconds duration)
  {
    waitFor([](const std::vector<ReceivedEvent> &) { return false; }, duration);
    return snapshot();
  }

  std::vector<ReceivedEvent> snapshot()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

  void clear()
  {
    executor_.spin_all(std::chrono::milliseconds(10));
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
  }

private:
  std::shared_ptr<rclcpp::Node> node_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::vector<std::shared_ptr<rclcpp::Subscription<brimtale_protocol::msg::DiagnosticEvent>>>
    subscriptions_;
  std::mutex mutex_;
  std::vector<ReceivedEvent> received_;
};
