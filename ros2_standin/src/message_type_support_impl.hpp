#ifndef ROS2_STANDIN__SRC__MESSAGE_TYPE_SUPPORT_IMPL_HPP_
#define ROS2_STANDIN__SRC__MESSAGE_TYPE_SUPPORT_IMPL_HPP_

#include <dds/dds.h>

namespace ros2_standin
{

struct MessageTypeSupport
{
  // The DDS type, named as rmw_cyclonedds names it, e.g. "std_msgs::msg::dds_::Header_".
  const dds_topic_descriptor_t * descriptor;
  // Writes a C++ message (of this type) with `writer`.
  dds_return_t (*write)(dds_entity_t writer, const void * message);
  // Takes the next valid sample into a C++ message: 1 when taken, 0 when none, < 0 on error.
  dds_return_t (*take)(dds_entity_t reader, void * message);
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__MESSAGE_TYPE_SUPPORT_IMPL_HPP_
