#include "message_conversion.hpp"

#include <dds/dds.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace ros2_standin
{

namespace
{

// idlc's C strings are char *, though writing never modifies them.
char * borrow(const std::string & text) { return const_cast<char *>(text.c_str()); }

std::string copy(const char * text) { return text != nullptr ? std::string(text) : std::string(); }

// Points `sequence` at samples of `messages`, made by `convert` in a buffer of `buffers`.
template <typename Sequence, typename Message, typename Convert>
void fill_sequence(
  const std::vector<Message> & messages, Sequence & sequence, SequenceBuffers & buffers,
  Convert convert)
{
  // CDR counts elements in 32 bits; a longer sequence cannot be written at all.
  if (messages.size() > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("sequence too long for CDR");
  }
  using Element = std::remove_pointer_t<decltype(sequence._buffer)>;
  Element * elements = buffers.allocate<Element>(messages.size());
  for (std::size_t i = 0; i < messages.size(); ++i) {
    convert(messages[i], elements[i]);
  }
  sequence._maximum = static_cast<uint32_t>(messages.size());
  sequence._length = static_cast<uint32_t>(messages.size());
  sequence._buffer = elements;
  // Cyclone must not free what `buffers` owns.
  sequence._release = false;
}

template <typename Sequence, typename Message>
void copy_sequence(const Sequence & sequence, std::vector<Message> & messages)
{
  messages.clear();
  messages.resize(sequence._length);
  for (uint32_t i = 0; i < sequence._length; ++i) {
    from_sample(sequence._buffer[i], messages[i]);
  }
}

}  // namespace

void SequenceBuffers::Free::operator()(void * buffer) const { dds_free(buffer); }

void * SequenceBuffers::allocate_bytes(std::size_t count, std::size_t size)
{
  if (count == 0) {
    return nullptr;
  }
  if (count > std::numeric_limits<std::size_t>::max() / size) {
    throw std::bad_array_new_length();
  }
  std::unique_ptr<void, Free> buffer(dds_alloc(count * size));
  if (!buffer) {
    throw std::bad_alloc();
  }
  // Should the vector fail to grow, `buffer` still frees its memory.
  buffers_.push_back(std::move(buffer));
  return buffers_.back().get();
}

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

void to_sample(const rosgraph_msgs::msg::Clock & message, rosgraph_msgs_msg_dds__Clock_ & sample)
{
  to_sample(message.clock, sample.clock);
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

void to_sample(
  const diagnostic_msgs::msg::KeyValue & message, diagnostic_msgs_msg_dds__KeyValue_ & sample)
{
  sample.key = borrow(message.key);
  sample.value = borrow(message.value);
}

void to_sample(
  const diagnostic_msgs::msg::DiagnosticStatus & message,
  diagnostic_msgs_msg_dds__DiagnosticStatus_ & sample, SequenceBuffers & buffers)
{
  sample.level = message.level;
  sample.name = borrow(message.name);
  sample.message = borrow(message.message);
  sample.hardware_id = borrow(message.hardware_id);
  fill_sequence(
    message.values, sample.values, buffers,
    [](const diagnostic_msgs::msg::KeyValue & value, diagnostic_msgs_msg_dds__KeyValue_ & out) {
      to_sample(value, out);
    });
}

void to_sample(
  const diagnostic_msgs::msg::DiagnosticArray & message,
  diagnostic_msgs_msg_dds__DiagnosticArray_ & sample, SequenceBuffers & buffers)
{
  to_sample(message.header, sample.header);
  fill_sequence(
    message.status, sample.status, buffers,
    [&buffers](
      const diagnostic_msgs::msg::DiagnosticStatus & status,
      diagnostic_msgs_msg_dds__DiagnosticStatus_ & out) { to_sample(status, out, buffers); });
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

void from_sample(const rosgraph_msgs_msg_dds__Clock_ & sample, rosgraph_msgs::msg::Clock & message)
{
  from_sample(sample.clock, message.clock);
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

void from_sample(
  const diagnostic_msgs_msg_dds__KeyValue_ & sample, diagnostic_msgs::msg::KeyValue & message)
{
  message.key = copy(sample.key);
  message.value = copy(sample.value);
}

void from_sample(
  const diagnostic_msgs_msg_dds__DiagnosticStatus_ & sample,
  diagnostic_msgs::msg::DiagnosticStatus & message)
{
  message.level = sample.level;
  message.name = copy(sample.name);
  message.message = copy(sample.message);
  message.hardware_id = copy(sample.hardware_id);
  copy_sequence(sample.values, message.values);
}

void from_sample(
  const diagnostic_msgs_msg_dds__DiagnosticArray_ & sample,
  diagnostic_msgs::msg::DiagnosticArray & message)
{
  from_sample(sample.header, message.header);
  copy_sequence(sample.status, message.status);
}

}  // namespace ros2_standin
