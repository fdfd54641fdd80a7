#include "cdr_header.hpp"

namespace kelvaron::diag_node
{
namespace
{

constexpr std::size_t kEncapsulationBytes = 4;
constexpr std::size_t kStampBytes = 8;
constexpr std::size_t kLengthBytes = 4;
constexpr uint16_t kPlainCdrBigEndian = 0x0000;
constexpr uint16_t kPlainCdrLittleEndian = 0x0001;

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

LeadingHeader readLeadingHeader(const uint8_t * data, std::size_t size)
{
  LeadingHeader header;
  if (data == nullptr || size < kEncapsulationBytes) {
    return header;
  }
  header.encapsulation = static_cast<uint16_t>(data[0] << 8U | data[1]);
  if (header.encapsulation != kPlainCdrBigEndian && header.encapsulation != kPlainCdrLittleEndian) {
    header.reading = HeaderReading::kOtherEncapsulation;
    return header;
  }
  if (size < kEncapsulationBytes + kStampBytes + kLengthBytes) {
    return header;
  }
  const bool little_endian = header.encapsulation == kPlainCdrLittleEndian;
  // Alignment counts from the body, which starts after the encapsulation; every field here
  // sits on a 4-byte boundary already. The options bytes do not change this layout.
  const uint8_t * body = data + kEncapsulationBytes;
  const std::size_t body_size = size - kEncapsulationBytes;
  const uint32_t length = readUint32(body + kStampBytes, little_endian);  // NUL included
  const std::size_t chars_at = kStampBytes + kLengthBytes;
  if (length == 0 || length > body_size - chars_at || body[chars_at + length - 1] != '\0') {
    return header;
  }
  header.sec = static_cast<int32_t>(readUint32(body, little_endian));
  header.nanosec = readUint32(body + 4, little_endian);
  header.frame_id = std::string_view(reinterpret_cast<const char *>(body + chars_at), length - 1);
  header.reading = HeaderReading::kRead;
  return header;
}

std::string_view encapsulationName(uint16_t encapsulation)
{
  switch (encapsulation) {
    case 0x0000:
      return "plain CDR big endian";
    case 0x0001:
      return "plain CDR little endian";
    case 0x0002:
      return "PL_CDR big endian";
    case 0x0003:
      return "PL_CDR little endian";
    case 0x0006:
      return "XCDR2 big endian";
    case 0x0007:
      return "XCDR2 little endian";
    case 0x0008:
      return "delimited XCDR2 big endian";
    case 0x0009:
      return "delimited XCDR2 little endian";
    case 0x000a:
      return "XCDR2 parameter list big endian";
    case 0x000b:
      return "XCDR2 parameter list little endian";
    default:
      return "unknown";
  }
}

}  // namespace kelvaron::diag_node
