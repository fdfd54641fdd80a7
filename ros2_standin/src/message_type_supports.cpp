#include <dds/dds.h>

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

template <typename MessageT, typename SampleT>
const MessageTypeSupport & type_support_for(const dds_topic_descriptor_t & descriptor)
{
  static const MessageTypeSupport support{
    &descriptor, &write_message<MessageT, SampleT>, &take_message<MessageT, SampleT>};
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
const MessageTypeSupport & get_message_type_support<brimtale_protocol::msg::DiagnosticEvent>()
{
  return type_support_for<
    brimtale_protocol::msg::DiagnosticEvent, brimtale_protocol_msg_dds__DiagnosticEvent_>(
    brimtale_protocol_msg_dds__DiagnosticEvent__desc);
}

}  // namespace ros2_standin
