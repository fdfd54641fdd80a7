#include "message_conversion.hpp"

#include <string>

namespace ros2_standin
{

namespace
{

// idlc's C strings are char *, though writing never modifies them.
char * borrow(const std::string & text) { return const_cast<char *>(text.c_str()); }

std::string copy(const char * text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

void to_sample(
  const builtin_interfaces::msg::Time & message, builtin_interfaces_msg_dds__Time_ & sample)
{
  sample.sec = message.sec;
  sample.nanosec = message.nanosec;
}

void to_sample(const std_msgs::msg::Header & message, std_msgs_msg_dds__Header_ & sample)
{
  to_sample(message.stamp, sample.stamp);
  sample.frame_id = borrow(message.frame_id);
}

void to_sample(
  const brimtale_protocol::msg::DiagnosticEvent & message,
  brimtale_protocol_msg_dds__DiagnosticEvent_ & sample)
{
  to_sample(message.header, sample.header);
  sample.event_id = message.event_id;
  sample.event_status = message.event_status;
  sample.event_msg = borrow(message.event_msg);
}

void from_sample(
  const builtin_interfaces_msg_dds__Time_ & sample, builtin_interfaces::msg::Time & message)
{
  message.sec = sample.sec;
  message.nanosec = sample.nanosec;
}

void from_sample(const std_msgs_msg_dds__Header_ & sample, std_msgs::msg::Header & message)
{
  from_sample(sample.stamp, message.stamp);
  message.frame_id = copy(sample.frame_id);
}

void from_sample(
  const brimtale_protocol_msg_dds__DiagnosticEvent_ & sample,
  brimtale_protocol::msg::DiagnosticEvent & message)
{
  from_sample(sample.header, message.header);
  message.event_id = sample.event_id;
  message.event_status = sample.event_status;
  message.event_msg = copy(sample.event_msg);
}

}  // namespace ros2_standin
