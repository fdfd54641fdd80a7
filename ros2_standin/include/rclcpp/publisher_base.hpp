#ifndef RCLCPP__PUBLISHER_BASE_HPP_
#define RCLCPP__PUBLISHER_BASE_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/visibility_control.hpp"
#include "rmw/types.h"
#include "ros2_standin/message_type_support.hpp"

namespace ros2_standin
{
struct NodeState;
}  // namespace ros2_standin

namespace rclcpp
{

// The type-independent half of a publisher: one DDS topic and writer on the context's
// participant, named as rmw_cyclonedds names them.
class RCLCPP_PUBLIC_TYPE PublisherBase : public std::enable_shared_from_this<PublisherBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(PublisherBase)

  // Throws InvalidTopicNameError for a bad name, RCLError when the context is shut down.
  RCLCPP_PUBLIC
  PublisherBase(
    std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic,
    const rclcpp::QoS & qos, const ros2_standin::MessageTypeSupport & type_support);

  RCLCPP_PUBLIC
  virtual ~PublisherBase();

  // The fully qualified name, e.g. "/sensor_proxy_diag_topic".
  RCLCPP_PUBLIC
  const char * get_topic_name() const;

  RCLCPP_PUBLIC
  size_t get_queue_size() const;

  // Carries the DDS writer GUID, as rmw_cyclonedds fills it.
  RCLCPP_PUBLIC
  const rmw_gid_t & get_gid() const;

  // Matched DDS readers, local and remote.
  RCLCPP_PUBLIC
  size_t get_subscription_count() const;

  RCLCPP_PUBLIC
  size_t get_intra_process_subscription_count() const;

  RCLCPP_PUBLIC
  rclcpp::QoS get_actual_qos() const;

  RCLCPP_PUBLIC
  bool assert_liveliness() const;

  // True once every matched reliable reader acknowledged everything written; a negative
  // timeout waits without limit.
  template <typename DurationRepT = int64_t, typename DurationT = std::milli>
  bool wait_for_all_acked(
    std::chrono::duration<DurationRepT, DurationT> timeout =
      std::chrono::duration<DurationRepT, DurationT>(-1)) const
  {
    return wait_for_all_acked_for(std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

  PublisherBase(const PublisherBase &) = delete;
  PublisherBase & operator=(const PublisherBase &) = delete;

protected:
  // Silently drops the message once the context is shut down; any other failure throws
  // rclcpp::exceptions::RCLError.
  RCLCPP_PUBLIC
  void publish_type_erased(const void * message);

private:
  RCLCPP_PUBLIC
  bool wait_for_all_acked_for(std::chrono::nanoseconds timeout) const;

  bool entities_alive() const;

  std::shared_ptr<ros2_standin::NodeState> node_;
  const ros2_standin::MessageTypeSupport * type_support_;
  std::string topic_name_;
  rclcpp::QoS qos_;
  uint64_t generation_ = 0;
  int32_t topic_ = 0;
  int32_t writer_ = 0;
  rmw_gid_t gid_{};
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_BASE_HPP_
