#ifndef ROS2_STANDIN__SRC__MESSAGE_CONVERSION_HPP_
#define ROS2_STANDIN__SRC__MESSAGE_CONVERSION_HPP_

#include "brimtale_protocol/msg/DiagnosticEvent.h"
#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "builtin_interfaces/msg/Time.h"
#include "builtin_interfaces/msg/time.hpp"
#include "std_msgs/msg/Header.h"
#include "std_msgs/msg/header.hpp"

// Between the C++ messages and the C samples of idlc. Samples made from a message borrow its
// strings and must not outlive it; they exist only to be written.
namespace ros2_standin
{

void to_sample(
  const builtin_interfaces::msg::Time & message, builtin_interfaces_msg_dds__Time_ & sample);
void to_sample(const std_msgs::msg::Header & message, std_msgs_msg_dds__Header_ & sample);
void to_sample(
  const brimtale_protocol::msg::DiagnosticEvent & message,
  brimtale_protocol_msg_dds__DiagnosticEvent_ & sample);

void from_sample(
  const builtin_interfaces_msg_dds__Time_ & sample, builtin_interfaces::msg::Time & message);
void from_sample(const std_msgs_msg_dds__Header_ & sample, std_msgs::msg::Header & message);
void from_sample(
  const brimtale_protocol_msg_dds__DiagnosticEvent_ & sample,
  brimtale_protocol::msg::DiagnosticEvent & message);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__MESSAGE_CONVERSION_HPP_
