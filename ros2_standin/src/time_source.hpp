#ifndef ROS2_STANDIN__SRC__TIME_SOURCE_HPP_
#define ROS2_STANDIN__SRC__TIME_SOURCE_HPP_

#include <dds/dds.h>

#include <cstdint>
#include <memory>
#include <mutex>

#include "rclcpp/clock.hpp"

namespace ros2_standin
{

struct NodeState;

// Keeps a node's clock on the time published on "/clock", as rclcpp's TimeSource does for a
// node whose use_sim_time is true. Samples are taken in a Cyclone listener, so the clock moves
// without the node being spun, as with rclcpp's dedicated clock thread. Does not keep the node
// state alive: the node state owns it.
class TimeSource
{
public:
  // Switches the node's clock to ROS time at zero until the first /clock message, and
  // subscribes to "/clock" with rclcpp::ClockQoS (shown among the node's subscriptions, as
  // rclcpp's is). Throws as create_subscription does.
  explicit TimeSource(NodeState & node);

  // Unsubscribes, waiting for a delivery under way, and puts the clock back on system time.
  // After context shutdown there is no reader left to wait for.
  ~TimeSource();

  TimeSource(const TimeSource &) = delete;
  TimeSource & operator=(const TimeSource &) = delete;

private:
  static void on_data_available(dds_entity_t reader, void * time_source);
  // Called from Cyclone's C code: must not throw.
  void take_newest() noexcept;

  NodeState & node_;
  std::shared_ptr<rclcpp::Clock> clock_;
  uint64_t generation_ = 0;
  dds_entity_t topic_ = 0;
  dds_entity_t reader_ = 0;
  // Keeps each take together with its clock update, so that an older time taken by one thread
  // never lands after a newer one taken by another.
  std::mutex take_mutex_;
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__TIME_SOURCE_HPP_
