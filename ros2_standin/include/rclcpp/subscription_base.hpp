#ifndef RCLCPP__SUBSCRIPTION_BASE_HPP_
#define RCLCPP__SUBSCRIPTION_BASE_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/visibility_control.hpp"
#include "ros2_standin/message_type_support.hpp"

namespace ros2_standin
{
struct EndpointHandles;
struct NodeState;
struct SubscriptionAccess;
}  // namespace ros2_standin

namespace rclcpp
{

class SerializedMessage;

// The type-independent half of a subscription: one DDS topic and reader, plus the read
// condition an executor waits on.
class RCLCPP_PUBLIC_TYPE SubscriptionBase : public std::enable_shared_from_this<SubscriptionBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(SubscriptionBase)

  // Throws InvalidTopicNameError for a bad name, RCLError when the context is shut down.
  RCLCPP_PUBLIC
  SubscriptionBase(
    std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic,
    const rclcpp::QoS & qos, const ros2_standin::MessageTypeSupport & type_support,
    const rclcpp::SubscriptionOptionsBase & options);

  RCLCPP_PUBLIC
  virtual ~SubscriptionBase();

  RCLCPP_PUBLIC
  const char * get_topic_name() const;

  RCLCPP_PUBLIC
  rclcpp::QoS get_actual_qos() const;

  // Matched DDS writers, local and remote.
  RCLCPP_PUBLIC
  size_t get_publisher_count() const;

  SubscriptionBase(const SubscriptionBase &) = delete;
  SubscriptionBase & operator=(const SubscriptionBase &) = delete;

protected:
  // For messages taken in their serialized form, whose type is known by its ROS name only
  // ("sensor_msgs/msg/LaserScan"). Throws std::runtime_error for a type name not of the form
  // package/type, otherwise as the constructor above.
  RCLCPP_PUBLIC
  SubscriptionBase(
    std::shared_ptr<ros2_standin::NodeState> node, const std::string & topic,
    const std::string & topic_type, const rclcpp::QoS & qos,
    const rclcpp::SubscriptionOptionsBase & options);

  // Takes the next valid sample into `message` (a MessageT); false when none is waiting or
  // the context is shut down.
  RCLCPP_PUBLIC
  bool take_type_erased(void * message);

  // The same for a subscription of serialized messages: `message` gets the sample's bytes as
  // they arrived, CDR encapsulation header first.
  RCLCPP_PUBLIC
  bool take_serialized(rclcpp::SerializedMessage & message);

private:
  friend struct ros2_standin::SubscriptionAccess;

  // Takes one message and hands it to the user callback; false when there was none.
  virtual bool take_and_dispatch() = 0;

  void adopt_reader(const ros2_standin::EndpointHandles & handles);
  [[noreturn]] void throw_take_error(int32_t error) const;
  bool entities_alive() const;

  std::shared_ptr<ros2_standin::NodeState> node_;
  // Null for a subscription of serialized messages.
  const ros2_standin::MessageTypeSupport * type_support_;
  std::string topic_name_;
  rclcpp::QoS qos_;
  uint64_t generation_ = 0;
  int32_t topic_ = 0;
  int32_t reader_ = 0;
  int32_t read_condition_ = 0;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_BASE_HPP_
