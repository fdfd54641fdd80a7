#ifndef ROS2_STANDIN__MESSAGE_TYPE_SUPPORT_HPP_
#define ROS2_STANDIN__MESSAGE_TYPE_SUPPORT_HPP_

#include "ros2_standin/visibility_control.hpp"

namespace ros2_standin
{

// How one message type travels over DDS. Opaque here so that Cyclone's headers and the
// idlc-generated C types stay out of every consumer's include path.
struct MessageTypeSupport;

// Defined for every message type the stand-in carries; declared next to each message struct.
template <typename MessageT>
const MessageTypeSupport & get_message_type_support();

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__MESSAGE_TYPE_SUPPORT_HPP_
