#include "cdr_header.hpp"

namespace kelvaron::diag_node
{
namespace
{

constexpr std::size_t kEncapsulationBytes = 4;
constexpr std::size_t kStampBytes = 8;
constexpr std::size_t kLengthBytes = 4;

uint32_t readUint32(const uint8_t * at, bool little_endian)
{
  if (little_endian) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8U |
           static_cast<uint32_t>(at[2]) << 16U | static_cast<uint32_t>(at[3]) << 24U;
  }
  return static_cast<uint32_t>(at[3]) | static_cast<uint32_t>(at[2]) << 8U |
         static_cast<uint32_t>(at[1]) << 16U | static_cast<uint32_t>(at[0]) << 24U;
}

}  // namespace

std::optional<StampedFrame> readLeadingHeader(const uint8_t * data, std::size_t size)
{
  if (data == nullptr || size < kEncapsulationBytes + kStampBytes + kLengthBytes) {
    return std::nullopt;
  }
  // Encapsulation identifier: 0x0000 plain CDR big endian, 0x0001 little endian (XCDR1).
  if (data[0] != 0x00 || (data[1] != 0x00 && data[1] != 0x01)) {
    return std::nullopt;
  }
  const bool little_endian = data[1] == 0x01;
  // Alignment counts from the body, which starts after the encapsulation; every field here
  // sits on a 4-byte boundary already.
  const uint8_t * body = data + kEncapsulationBytes;
  const std::size_t body_size = size - kEncapsulationBytes;

  StampedFrame frame;
  frame.sec = static_cast<int32_t>(readUint32(body, little_endian));
  frame.nanosec = readUint32(body + 4, little_endian);
  const uint32_t length = readUint32(body + kStampBytes, little_endian);  // NUL included
  const std::size_t chars_at = kStampBytes + kLengthBytes;
  if (length == 0 || length > body_size - chars_at || body[chars_at + length - 1] != '\0') {
    return std::nullopt;
  }
  frame.frame_id.assign(reinterpret_cast<const char *>(body + chars_at), length - 1);
  return frame;
}

}  // namespace kelvaron::diag_node
