#ifndef ROS2_STANDIN__SRC__RAW_SERTYPE_HPP_
#define ROS2_STANDIN__SRC__RAW_SERTYPE_HPP_

#include <dds/dds.h>

#include <string>

namespace ros2_standin
{

// Creates the DDS topic `dds_name` of the keyless type `dds_type_name` on `participant`
// without knowing the type's layout: its samples are kept as the bytes that arrived (CDR
// encapsulation header, then the body), to be taken with dds_takecdr. Readers only; nothing
// can be written with it. Returns the topic or a DDS error (< 0).
dds_entity_t create_raw_topic(
  dds_entity_t participant, const std::string & dds_name, const std::string & dds_type_name,
  const dds_qos_t * qos);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__RAW_SERTYPE_HPP_
