#ifndef ROS2_STANDIN__SRC__PARTICIPANT_HPP_
#define ROS2_STANDIN__SRC__PARTICIPANT_HPP_

#include <dds/dds.h>

#include <cstdint>

#include "gid.hpp"

namespace ros2_standin
{

// The DDS participant of one context, and the domain when this context created it.
struct ParticipantHandles
{
  dds_entity_t participant = 0;
  dds_entity_t domain = 0;
  Gid gid{};
  // Of "ros_discovery_info"; goes with the participant.
  dds_entity_t discovery_writer = 0;
};

// Creates the participant with ROS 2's user data "enclave=/;", on the loopback configuration
// unless the user widened it, and its writer of graph information. Throws
// rclcpp::exceptions::RCLError on failure.
ParticipantHandles create_participant(uint32_t domain_id);

void delete_participant(const ParticipantHandles & handles);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__PARTICIPANT_HPP_
