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
struct NodeState;
struct SubscriptionAccess;
}  // namespace ros2_standin

namespace rclcpp
{

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
  // Takes the next valid sample into `message` (a MessageT); false when none is waiting or
  // the context is shut down.
  RCLCPP_PUBLIC
  bool take_type_erased(void * message);

private:
  friend struct ros2_standin::SubscriptionAccess;

  // Takes one message and hands it to the user callback; false when there was none.
  virtual bool take_and_dispatch() = 0;

  bool entities_alive() const;

  std::shared_ptr<ros2_standin::NodeState> node_;
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
