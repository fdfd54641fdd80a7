#include "rclcpp/subscription_base.hpp"

#include <dds/dds.h>
#include <dds/ddsi/ddsi_serdata.h>

#include <stdexcept>
#include <string>

#include "dds_endpoint.hpp"
#include "message_type_support_impl.hpp"
#include "names.hpp"
#include "node_state.hpp"
#include "raw_sertype.hpp"
#include "rcl_errors.hpp"
#include "rclcpp/serialized_message.hpp"

namespace rclcpp
{

SubscriptionBase::SubscriptionBase(
  std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic, const rclcpp::QoS & qos,
  const ros2_standin::MessageTypeSupport & type_support,
  const rclcpp::SubscriptionOptionsBase & options)
: node_(std::move(node)), type_support_(&type_support), qos_(qos)
{
  adopt_reader(ros2_standin::create_endpoint(
    *node_, topic, qos, type_support, ros2_standin::EndpointKind::Reader,
    options.ignore_local_publications));
}

SubscriptionBase::SubscriptionBase(
  std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic,
  const std::string & topic_type, const rclcpp::QoS & qos,
  const rclcpp::SubscriptionOptionsBase & options)
: node_(std::move(node)), type_support_(nullptr), qos_(qos)
{
  // Where rclcpp would load the type's support library, the DDS type name is all we need.
  const auto dds_type = ros2_standin::dds_type_name(topic_type);
  if (!dds_type) {
    throw std::runtime_error(
      "Message type is not of the form package/type and cannot be processed");
  }
  adopt_reader(ros2_standin::create_endpoint(
    *node_, topic, qos,
    [&dds_type](
      dds_entity_t participant, const std::string & dds_name, const dds_qos_t * topic_qos) {
      return ros2_standin::create_raw_topic(participant, dds_name, *dds_type, topic_qos);
    },
    ros2_standin::EndpointKind::Reader, options.ignore_local_publications));
}

void SubscriptionBase::adopt_reader(const ros2_standin::EndpointHandles & handles)
{
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
  throw_take_error(result);
}

bool SubscriptionBase::take_serialized(rclcpp::SerializedMessage & message)
{
  if (!entities_alive()) {
    return false;
  }
  for (;;) {
    ddsi_serdata * serdata = nullptr;
    dds_sample_info_t info{};
    const dds_return_t taken = dds_takecdr(reader_, &serdata, 1, &info, DDS_ANY_STATE);
    if (taken == 0 || (taken < 0 && !entities_alive())) {
      return false;
    }
    if (taken < 0) {
      throw_take_error(taken);
    }
    // An invalid sample only tells of a writer gone away; look for a real one.
    if (info.valid_data) {
      const uint32_t size = ddsi_serdata_size(serdata);
      try {
        message.reserve(size);
      } catch (...) {
        ddsi_serdata_unref(serdata);
        throw;
      }
      rcl_serialized_message_t & bytes = message.get_rcl_serialized_message();
      ddsi_serdata_to_ser(serdata, 0, size, bytes.buffer);
      bytes.buffer_length = size;
    }
    ddsi_serdata_unref(serdata);
    if (info.valid_data) {
      return true;
    }
  }
}

void SubscriptionBase::throw_take_error(int32_t error) const
{
  ros2_standin::throw_rcl_error(
    RCL_RET_ERROR, "failed to take message",
    std::string("dds_take failed: ") + dds_strretcode(error));
}

bool SubscriptionBase::entities_alive() const
{
  return ros2_standin::endpoint_alive(*node_, generation_);
}

}  // namespace rclcpp
