#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <builtin_interfaces/msg/time.hpp>
#include <rclcpp/rclcpp.hpp>

#include "sensor_diagnosis/wall_clock.hpp"

namespace kelvaron
{

// What the object takes from its surroundings. The seams default to the real behaviour; only
// the library's own tests (and benchmarks) replace them, through their access struct, which
// says under which lock each may change while the object runs.
struct Dependencies
{
  // Now in milliseconds on the object's time base, nothing while that time has not started;
  // empty: the clock below, else the wall clock. Read with data_mutex_ held.
  std::function<std::optional<int64_t>()> clock_ms;
  // Runs just before each health-check publication, with data_mutex_ held; throwing stands for
  // a failing middleware.
  std::function<void()> publish_fault;
  // Runs on the watcher thread before each of its reloads; throwing stands for a reload that
  // fails with an exception. Copied under config_watcher_mutex_.
  std::function<void()> before_watcher_reload;
  // Runs before each of the object's threads is created; throwing stands for a system that
  // refuses the thread.
  std::function<void()> before_thread_start;
  // Runs during every load, after the file's time is taken and before the file is read, with
  // config_load_mutex_ held.
  std::function<void()> before_config_read;

  // Not seams: what a host node (or the object's own node under use_sim_time) brings. Set with
  // data_mutex_ held.
  // A ROS clock to time by instead of the wall clock: a node's clock under simulated time.
  std::shared_ptr<rclcpp::Clock> ros_clock;
  // How the host node resolves a topic name (namespace, remapping); empty: names as written.
  std::function<std::string(const std::string &)> resolve_topic;
  // Set once a host node has spoken, so the object's own nodes no longer choose the clock.
  bool host_node_given{false};
  // Whether the ROS clock has read a time other than zero: until then zero means no /clock
  // message yet; after it, a simulation reset to exactly zero.
  mutable bool clock_started{false};

  std::optional<int64_t> nowMs() const;
  // A header stamp for now on the same time base; zero while that time has not started.
  builtin_interfaces::msg::Time stampNow() const;
};

// Whether `node` runs on simulated time (its use_sim_time parameter).
bool followsSimulatedTime(rclcpp::Node & node);

}  // namespace kelvaron
