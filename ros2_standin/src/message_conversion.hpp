#ifndef ROS2_STANDIN__SRC__MESSAGE_CONVERSION_HPP_
#define ROS2_STANDIN__SRC__MESSAGE_CONVERSION_HPP_

#include <cstddef>
#include <memory>
#include <vector>

#include "brimtale_protocol/msg/DiagnosticEvent.h"
#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "builtin_interfaces/msg/Time.h"
#include "builtin_interfaces/msg/time.hpp"
#include "diagnostic_msgs/msg/DiagnosticArray.h"
#include "diagnostic_msgs/msg/DiagnosticStatus.h"
#include "diagnostic_msgs/msg/KeyValue.h"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "diagnostic_msgs/msg/diagnostic_status.hpp"
#include "diagnostic_msgs/msg/key_value.hpp"
#include "rosgraph_msgs/msg/Clock.h"
#include "rosgraph_msgs/msg/clock.hpp"
#include "std_msgs/msg/Header.h"
#include "std_msgs/msg/header.hpp"

// Between the C++ messages and the C samples of idlc. Samples made from a message borrow its
// strings and must not outlive it; they exist only to be written.
namespace ros2_standin
{

// The element arrays of the sequences in samples being written. A sample's sequences point
// into them, so they must outlive its write; they are freed together when this goes away.
class SequenceBuffers
{
public:
  // Room for `count` elements, or nullptr for none.
  template <typename Element>
  Element * allocate(std::size_t count)
  {
    return static_cast<Element *>(allocate_bytes(count, sizeof(Element)));
  }

private:
  struct Free
  {
    void operator()(void * buffer) const;
  };

  void * allocate_bytes(std::size_t count, std::size_t size);

  std::vector<std::unique_ptr<void, Free>> buffers_;
};

void to_sample(
  const builtin_interfaces::msg::Time & message, builtin_interfaces_msg_dds__Time_ & sample);
void to_sample(const std_msgs::msg::Header & message, std_msgs_msg_dds__Header_ & sample);
void to_sample(const rosgraph_msgs::msg::Clock & message, rosgraph_msgs_msg_dds__Clock_ & sample);
void to_sample(
  const brimtale_protocol::msg::DiagnosticEvent & message,
  brimtale_protocol_msg_dds__DiagnosticEvent_ & sample);
void to_sample(
  const diagnostic_msgs::msg::KeyValue & message, diagnostic_msgs_msg_dds__KeyValue_ & sample);
// These throw std::length_error for a sequence longer than CDR can count (2^32 - 1).
void to_sample(
  const diagnostic_msgs::msg::DiagnosticStatus & message,
  diagnostic_msgs_msg_dds__DiagnosticStatus_ & sample, SequenceBuffers & buffers);
void to_sample(
  const diagnostic_msgs::msg::DiagnosticArray & message,
  diagnostic_msgs_msg_dds__DiagnosticArray_ & sample, SequenceBuffers & buffers);

void from_sample(
  const builtin_interfaces_msg_dds__Time_ & sample, builtin_interfaces::msg::Time & message);
void from_sample(const std_msgs_msg_dds__Header_ & sample, std_msgs::msg::Header & message);
void from_sample(const rosgraph_msgs_msg_dds__Clock_ & sample, rosgraph_msgs::msg::Clock & message);
void from_sample(
  const brimtale_protocol_msg_dds__DiagnosticEvent_ & sample,
  brimtale_protocol::msg::DiagnosticEvent & message);
void from_sample(
  const diagnostic_msgs_msg_dds__KeyValue_ & sample, diagnostic_msgs::msg::KeyValue & message);
void from_sample(
  const diagnostic_msgs_msg_dds__DiagnosticStatus_ & sample,
  diagnostic_msgs::msg::DiagnosticStatus & message);
void from_sample(
  const diagnostic_msgs_msg_dds__DiagnosticArray_ & sample,
  diagnostic_msgs::msg::DiagnosticArray & message);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__MESSAGE_CONVERSION_HPP_
