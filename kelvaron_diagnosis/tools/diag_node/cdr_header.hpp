#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelvaron::diag_node
{

// What the start of a serialized ROS 2 message says about a leading std_msgs/Header.
enum class HeaderReading
{
  kRead,                // plain CDR (XCDR1) whose header was read
  kOtherEncapsulation,  // any other representation (XCDR2, parameter lists, ...): not read
  kMalformed,           // plain CDR too short or malformed to hold a header, or no encapsulation
};

// The header as it lies in the payload: frame_id points into the bytes it was read from.
struct LeadingHeader
{
  HeaderReading reading{HeaderReading::kMalformed};
  // The representation identifier, the first two bytes read big endian (0 before 4 bytes).
  uint16_t encapsulation{0};
  int32_t sec{0};
  uint32_t nanosec{0};
  std::string_view frame_id;
};

// Reads the std_msgs/Header at the start of a serialized ROS 2 message: the 4-byte encapsulation
// (0x0000 plain CDR big endian, 0x0001 little endian), then stamp.sec, stamp.nanosec and
// frame_id as XCDR1 lays them out. Other representations lay the header out differently and are
// never read. Nothing is read past `size`; the frame_id is read only when its length lies within
// the payload and it ends with its NUL. Allocates nothing.
LeadingHeader readLeadingHeader(const uint8_t * data, std::size_t size);

// "XCDR2 little endian" and the like, for log lines; "unknown" for an unassigned identifier.
std::string_view encapsulationName(uint16_t encapsulation);

}  // namespace kelvaron::diag_node
