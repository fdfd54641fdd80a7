#ifndef ROS2_STANDIN__SRC__GID_HPP_
#define ROS2_STANDIN__SRC__GID_HPP_

#include <dds/dds.h>

#include <array>
#include <cstdint>
#include <cstring>

namespace ros2_standin
{

// A ROS 2 Humble gid: the 16-byte DDS GUID in wire order, then zeros up to 24 bytes.
using Gid = std::array<uint8_t, 24>;

// Zeros when DDS does not know the entity.
inline Gid entity_gid(dds_entity_t entity)
{
  Gid gid{};
  dds_guid_t guid{};
  if (dds_get_guid(entity, &guid) == DDS_RETCODE_OK) {
    static_assert(sizeof(guid.v) <= sizeof(Gid), "a DDS GUID fits into a gid");
    std::memcpy(gid.data(), guid.v, sizeof(guid.v));
  }
  return gid;
}

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__GID_HPP_
