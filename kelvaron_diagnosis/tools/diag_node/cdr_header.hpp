#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kelvaron::diag_node
{

// The part of a std_msgs/Header that a health check needs.
struct StampedFrame
{
  int32_t sec{0};
  uint32_t nanosec{0};
  std::string frame_id;
};

// Reads the std_msgs/Header at the start of a serialized ROS 2 message: the 4-byte CDR
// encapsulation (little or big endian), then stamp.sec, stamp.nanosec and frame_id as XCDR1
// lays them out. Nothing is read past `size`; a truncated or malformed payload (short buffer,
// unknown encapsulation, a frame_id length beyond the payload or without its terminating NUL)
// gives nothing.
std::optional<StampedFrame> readLeadingHeader(const uint8_t * data, std::size_t size);

}  // namespace kelvaron::diag_node
