#ifndef ROS2_STANDIN__SRC__DDS_CONFIG_HPP_
#define ROS2_STANDIN__SRC__DDS_CONFIG_HPP_

// Internal to the stand-in and its tests; not installed.

#include <cstdint>
#include <string>

#include "ros2_standin/visibility_control.hpp"

namespace ros2_standin
{

// The Cyclone DDS configuration that keeps a domain on loopback: interface 127.0.0.1,
// multicast off, unicast discovery of 127.0.0.1 over many participant indices, 1 s SPDP.
ROS2_STANDIN_PUBLIC
std::string loopback_domain_config();

// False when the user widened the network: CYCLONEDDS_URI set, or ROS_LOCALHOST_ONLY=0.
ROS2_STANDIN_PUBLIC
bool loopback_only();

// ROS_DOMAIN_ID, or 0 when unset or empty. Throws std::invalid_argument for a value that is
// not a domain id.
ROS2_STANDIN_PUBLIC
uint32_t domain_id_from_environment();

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__DDS_CONFIG_HPP_
