#include "rclcpp/subscription_base.hpp"

#include <dds/dds.h>

#include <string>

#include "dds_endpoint.hpp"
#include "message_type_support_impl.hpp"
#include "node_state.hpp"
#include "rcl_errors.hpp"

namespace rclcpp
{

SubscriptionBase::SubscriptionBase(
  std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic, const rclcpp::QoS & qos,
  const ros2_standin::MessageTypeSupport & type_support,
  const rclcpp::SubscriptionOptionsBase & options)
: node_(std::move(node)), type_support_(&type_support), qos_(qos)
{
  const auto handles = ros2_standin::create_endpoint(
    *node_, topic, qos, type_support, ros2_standin::EndpointKind::Reader,
    options.ignore_local_publications);
  topic_name_ = handles.topic_name;
  generation_ = handles.generation;
  topic_ = handles.topic;
  reader_ = handles.endpoint;

  read_condition_ = dds_create_readcondition(reader_, DDS_ANY_STATE);
  if (read_condition_ < 0) {
    const dds_return_t error = read_condition_;
    ros2_standin::delete_endpoint(*node_, generation_, reader_, topic_);
    ros2_standin::throw_rcl_error(
      RCL_RET_ERROR, "could not create subscription",
      std::string("failed to create read condition: ") + dds_strretcode(error));
  }
}

SubscriptionBase::~SubscriptionBase()
{
  // The read condition goes with its reader.
  ros2_standin::delete_endpoint(*node_, generation_, reader_, topic_);
}

const char * SubscriptionBase::get_topic_name() const { return topic_name_.c_str(); }

rclcpp::QoS SubscriptionBase::get_actual_qos() const { return qos_; }

size_t SubscriptionBase::get_publisher_count() const
{
  dds_subscription_matched_status_t status{};
  if (!entities_alive() || dds_get_subscription_matched_status(reader_, &status) < 0) {
    return 0;
  }
  return status.current_count;
}

bool SubscriptionBase::take_type_erased(void * message)
{
  if (!entities_alive()) {
    return false;
  }
  const dds_return_t result = type_support_->take(reader_, message);
  if (result >= 0 || !entities_alive()) {
    return result > 0;
  }
  ros2_standin::throw_rcl_error(
    RCL_RET_ERROR, "failed to take message",
    std::string("dds_take failed: ") + dds_strretcode(result));
}

bool SubscriptionBase::entities_alive() const
{
  return ros2_standin::endpoint_alive(*node_, generation_);
}

}  // namespace rclcpp
