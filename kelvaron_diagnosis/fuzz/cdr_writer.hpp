#pragma once

// Writes ROS 2 messages as rmw serialises them, field by field: the 4-byte encapsulation, then
// the body with every primitive aligned to its size counted from the body's start (XCDR1), or
// to at most 4 bytes (plain XCDR2). For the fuzz seeds and the tests of the header reader.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kelvaron_fuzz
{

class CdrWriter
{
public:
  enum class Order
  {
    kBig,
    kLittle,
  };

  // `encapsulation` is the identifier as the first two bytes spell it; its low bit is the
  // byte order for every representation that has one.
  explicit CdrWriter(uint16_t encapsulation, std::size_t max_alignment = 8)
  : little_endian_((encapsulation & 1U) != 0U), max_alignment_(max_alignment)
  {
    bytes_ = {
      static_cast<uint8_t>(encapsulation >> 8U), static_cast<uint8_t>(encapsulation & 0xffU), 0, 0};
  }

  static uint16_t plainCdr(Order order) { return order == Order::kLittle ? 0x0001 : 0x0000; }

  CdrWriter & u8(uint8_t value) { return put(value, 1); }
  CdrWriter & i8(int8_t value) { return u8(static_cast<uint8_t>(value)); }
  CdrWriter & u16(uint16_t value) { return put(value, 2); }
  CdrWriter & u32(uint32_t value) { return put(value, 4); }
  CdrWriter & i32(int32_t value) { return u32(static_cast<uint32_t>(value)); }
  CdrWriter & f32(float value)
  {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return put(bits, 4);
  }
  CdrWriter & f64(double value)
  {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return put(bits, 8);
  }
  CdrWriter & f64s(std::size_t count, double value)
  {
    for (std::size_t i = 0; i < count; ++i) {
      f64(value + static_cast<double>(i));
    }
    return *this;
  }
  // A string: its length with the NUL, the characters, the NUL.
  CdrWriter & str(const std::string & text)
  {
    u32(static_cast<uint32_t>(text.size() + 1));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    return *this;
  }
  CdrWriter & header(int32_t sec, uint32_t nanosec, const std::string & frame_id)
  {
    return i32(sec).u32(nanosec).str(frame_id);
  }
  // A sequence of bytes: its length, then the bytes.
  CdrWriter & octets(const std::vector<uint8_t> & data)
  {
    u32(static_cast<uint32_t>(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }

  const std::vector<uint8_t> & bytes() const { return bytes_; }

private:
  CdrWriter & put(uint64_t value, std::size_t size)
  {
    const std::size_t alignment = size < max_alignment_ ? size : max_alignment_;
    while ((bytes_.size() - kEncapsulationBytes) % alignment != 0) {
      bytes_.push_back(0);
    }
    for (std::size_t i = 0; i < size; ++i) {
      const std::size_t shift = 8 * (little_endian_ ? i : size - 1 - i);
      bytes_.push_back(static_cast<uint8_t>(value >> shift));
    }
    return *this;
  }

  static constexpr std::size_t kEncapsulationBytes = 4;
  bool little_endian_;
  std::size_t max_alignment_;
  std::vector<uint8_t> bytes_;
};

}  // namespace kelvaron_fuzz
