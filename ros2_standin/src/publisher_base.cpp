#include "rclcpp/publisher_base.hpp"

#include <dds/dds.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "dds_endpoint.hpp"
#include "message_type_support_impl.hpp"
#include "node_state.hpp"
#include "rcl_errors.hpp"

namespace rclcpp
{

namespace
{

// What ROS 2 tools expect in a gid made by rmw_cyclonedds.
constexpr char kImplementationIdentifier[] = "rmw_cyclonedds_cpp";

}  // namespace

PublisherBase::PublisherBase(
  std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic, const rclcpp::QoS & qos,
  const ros2_standin::MessageTypeSupport & type_support)
: node_(std::move(node)), type_support_(&type_support), qos_(qos)
{
  const auto handles = ros2_standin::create_endpoint(
    *node_, topic, qos, type_support, ros2_standin::EndpointKind::Writer, false);
  topic_name_ = handles.topic_name;
  generation_ = handles.generation;
  topic_ = handles.topic;
  writer_ = handles.endpoint;

  gid_.implementation_identifier = kImplementationIdentifier;
  static_assert(sizeof(handles.gid) == RMW_GID_STORAGE_SIZE, "gids of rmw and graph agree");
  std::memcpy(gid_.data, handles.gid.data(), sizeof(gid_.data));
}

PublisherBase::~PublisherBase()
{
  ros2_standin::delete_endpoint(*node_, generation_, writer_, topic_);
}

const char * PublisherBase::get_topic_name() const { return topic_name_.c_str(); }

size_t PublisherBase::get_queue_size() const { return qos_.depth(); }

const rmw_gid_t & PublisherBase::get_gid() const { return gid_; }

size_t PublisherBase::get_subscription_count() const
{
  dds_publication_matched_status_t status{};
  if (!entities_alive() || dds_get_publication_matched_status(writer_, &status) < 0) {
    return 0;
  }
  return status.current_count;
}

size_t PublisherBase::get_intra_process_subscription_count() const { return 0; }

rclcpp::QoS PublisherBase::get_actual_qos() const { return qos_; }

bool PublisherBase::assert_liveliness() const
{
  return entities_alive() && dds_assert_liveliness(writer_) == DDS_RETCODE_OK;
}

bool PublisherBase::wait_for_all_acked_for(std::chrono::nanoseconds timeout) const
{
  if (!entities_alive()) {
    return false;
  }
  const dds_duration_t dds_timeout = timeout.count() < 0 ? DDS_INFINITY : timeout.count();
  return dds_wait_for_acks(writer_, dds_timeout) == DDS_RETCODE_OK;
}

bool PublisherBase::entities_alive() const
{
  return ros2_standin::endpoint_alive(*node_, generation_);
}

void PublisherBase::publish_type_erased(const void * message)
{
  // After shutdown rclcpp drops the message without a word; so do we, also when shutdown
  // deletes the writer while this call is under way.
  if (!entities_alive()) {
    return;
  }
  const dds_return_t result = type_support_->write(writer_, message);
  if (result >= 0 || !entities_alive()) {
    return;
  }
  ros2_standin::throw_rcl_error(
    RCL_RET_ERROR, "failed to publish message",
    std::string("dds_write failed: ") + dds_strretcode(result));
}

}  // namespace rclcpp
