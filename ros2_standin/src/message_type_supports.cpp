#include <dds/dds.h>

#include <stdexcept>

#include "message_conversion.hpp"
#include "message_type_support_impl.hpp"

namespace ros2_standin
{

namespace
{

template <typename MessageT, typename SampleT>
dds_return_t write_message(dds_entity_t writer, const void * message)
{
  SampleT sample{};
  to_sample(*static_cast<const MessageT *>(message), sample);
  return dds_write(writer, &sample);
}

template <typename MessageT, typename SampleT>
dds_return_t write_message_with_sequences(dds_entity_t writer, const void * message)
{
  // The sample's sequences point into `buffers`, which frees them once the write is done.
  SequenceBuffers buffers;
  SampleT sample{};
  try {
    to_sample(*static_cast<const MessageT *>(message), sample, buffers);
  } catch (const std::length_error &) {
    // Reported like any other failed write: rclcpp's publish throws RCLError.
    return DDS_RETCODE_BAD_PARAMETER;
  }
  return dds_write(writer, &sample);
}

template <typename MessageT, typename SampleT>
dds_return_t take_message(dds_entity_t reader, void * message)
{
  // Loaned samples: Cyclone keeps the memory, we copy out and hand it back.
  for (;;) {
    void * samples[1] = {nullptr};
    dds_sample_info_t info{};
    const dds_return_t taken = dds_take(reader, samples, &info, 1, 1);
    if (taken <= 0) {
      return taken;
    }
    const bool valid = info.valid_data;
    if (valid) {
      from_sample(*static_cast<const SampleT *>(samples[0]), *static_cast<MessageT *>(message));
    }
    dds_return_loan(reader, samples, taken);
    if (valid) {
      return 1;
    }
    // An invalid sample only tells of a writer gone away; look for a real one.
  }
}

template <
  typename MessageT, typename SampleT,
  dds_return_t (*Write)(dds_entity_t, const void *) = &write_message<MessageT, SampleT>>
const MessageTypeSupport & type_support_for(const dds_topic_descriptor_t & descriptor)
{
  static const MessageTypeSupport support{&descriptor, Write, &take_message<MessageT, SampleT>};
  return support;
}

}  // namespace

template <>
const MessageTypeSupport & get_message_type_support<builtin_interfaces::msg::Time>()
{
  return type_support_for<builtin_interfaces::msg::Time, builtin_interfaces_msg_dds__Time_>(
    builtin_interfaces_msg_dds__Time__desc);
}

template <>
const MessageTypeSupport & get_message_type_support<std_msgs::msg::Header>()
{
  return type_support_for<std_msgs::msg::Header, std_msgs_msg_dds__Header_>(
    std_msgs_msg_dds__Header__desc);
}

template <>
const MessageTypeSupport & get_message_type_support<rosgraph_msgs::msg::Clock>()
{
  return type_support_for<rosgraph_msgs::msg::Clock, rosgraph_msgs_msg_dds__Clock_>(
    rosgraph_msgs_msg_dds__Clock__desc);
}

template <>
const MessageTypeSupport & get_message_type_support<brimtale_protocol::msg::DiagnosticEvent>()
{
  return type_support_for<
    brimtale_protocol::msg::DiagnosticEvent, brimtale_protocol_msg_dds__DiagnosticEvent_>(
    brimtale_protocol_msg_dds__DiagnosticEvent__desc);
}

template <>
const MessageTypeSupport & get_message_type_support<diagnostic_msgs::msg::KeyValue>()
{
  return type_support_for<diagnostic_msgs::msg::KeyValue, diagnostic_msgs_msg_dds__KeyValue_>(
    diagnostic_msgs_msg_dds__KeyValue__desc);
}

template <>
const MessageTypeSupport & get_message_type_support<diagnostic_msgs::msg::DiagnosticStatus>()
{
  using Sample = diagnostic_msgs_msg_dds__DiagnosticStatus_;
  return type_support_for<
    diagnostic_msgs::msg::DiagnosticStatus, Sample,
    &write_message_with_sequences<diagnostic_msgs::msg::DiagnosticStatus, Sample>>(
    diagnostic_msgs_msg_dds__DiagnosticStatus__desc);
}

template <>
const MessageTypeSupport & get_message_type_support<diagnostic_msgs::msg::DiagnosticArray>()
{
  using Sample = diagnostic_msgs_msg_dds__DiagnosticArray_;
  return type_support_for<
    diagnostic_msgs::msg::DiagnosticArray, Sample,
    &write_message_with_sequences<diagnostic_msgs::msg::DiagnosticArray, Sample>>(
    diagnostic_msgs_msg_dds__DiagnosticArray__desc);
}

}  // namespace ros2_standin
