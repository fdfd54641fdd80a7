#include <exception>
#include <memory>
#include <mutex>
#include <string>

#include <rclcpp/node_interfaces/node_topics_interface.hpp>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/dependencies.hpp"

namespace kelvaron
{

bool followsSimulatedTime(rclcpp::Node & node)
{
  // Every rclcpp node declares use_sim_time (its time source does), however the value reached
  // it: -p, a node-specific -p, a params file.
  bool use_sim_time = false;
  node.get_parameter("use_sim_time", use_sim_time);
  return use_sim_time;
}

}  // namespace kelvaron

void Diagnosis::useHostNode(const std::shared_ptr<rclcpp::Node> & node)
{
  if (!node) {
    return;
  }
  const bool simulated = kelvaron::followsSimulatedTime(*node);
  std::lock_guard<std::mutex> lock(data_mutex_);
  dependencies_->host_node_given = true;
  // The node's own clock, whatever use_sim_time says now: rclcpp switches it to and from /clock
  // when the parameter changes at run time, and without /clock it reads the system time.
  dependencies_->ros_clock = node->get_clock();
  // Weak: the host may let its node go before this object, and a node's interfaces must not
  // outlive it. Without the node, names show as written.
  dependencies_->resolve_topic = [weak_node =
                                    std::weak_ptr<rclcpp::Node>(node)](const std::string & topic) {
    const std::shared_ptr<rclcpp::Node> alive = weak_node.lock();
    if (!alive) {
      return topic;
    }
    try {
      return alive->get_node_topics_interface()->resolve_topic_name(topic);
    } catch (const std::exception &) {
      return topic;  // not a valid ROS name: nothing subscribes to it, show it as written
    }
  };
  if (simulated) {
    LOG_INFO("Timing streams by /clock (use_sim_time of {})", node->get_fully_qualified_name());
  }
}
