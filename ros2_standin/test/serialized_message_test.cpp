#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

#include "rclcpp/exceptions.hpp"
#include "rclcpp/serialized_message.hpp"

using rclcpp::SerializedMessage;

// rclcpp's names for the same struct.
static_assert(std::is_same_v<rcl_serialized_message_t, rcutils_uint8_array_t>);
static_assert(std::is_same_v<decltype(rcl_serialized_message_t::buffer), uint8_t *>);
static_assert(!std::is_convertible_v<size_t, SerializedMessage>);

namespace
{

// Counts what goes through it, so that every buffer is seen to come back.
struct Counts
{
  int allocations = 0;
  int deallocations = 0;
};

rcl_allocator_t counting_allocator(Counts & counts)
{
  rcl_allocator_t allocator = rcl_get_default_allocator();
  allocator.allocate = [](size_t size, void * state) {
    ++static_cast<Counts *>(state)->allocations;
    return std::malloc(size);
  };
  allocator.deallocate = [](void * pointer, void * state) {
    ++static_cast<Counts *>(state)->deallocations;
    std::free(pointer);
  };
  allocator.state = &counts;
  return allocator;
}

void fill(SerializedMessage & message, const char * text)
{
  rcl_serialized_message_t & raw = message.get_rcl_serialized_message();
  std::memcpy(raw.buffer, text, std::strlen(text));
  raw.buffer_length = std::strlen(text);
}

std::string text_of(const SerializedMessage & message)
{
  const rcl_serialized_message_t & raw = message.get_rcl_serialized_message();
  return std::string(reinterpret_cast<const char *>(raw.buffer), raw.buffer_length);
}

}  // namespace

TEST(SerializedMessage, StartsEmptyWithTheCapacityAskedFor)
{
  const SerializedMessage empty;
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_EQ(empty.capacity(), 0u);
  EXPECT_EQ(empty.get_rcl_serialized_message().buffer, nullptr);

  const SerializedMessage sized(16);
  EXPECT_EQ(sized.size(), 0u);
  EXPECT_EQ(sized.capacity(), 16u);
  EXPECT_NE(sized.get_rcl_serialized_message().buffer, nullptr);
}

TEST(SerializedMessage, CopiesOwnTheirBytesAndMovesLeaveTheSourceEmpty)
{
  Counts counts;
  {
    SerializedMessage original(8, counting_allocator(counts));
    fill(original, "cdr");
    SerializedMessage copy(original);
    EXPECT_NE(
      copy.get_rcl_serialized_message().buffer, original.get_rcl_serialized_message().buffer);
    EXPECT_EQ(text_of(copy), "cdr");
    EXPECT_EQ(copy.capacity(), 8u);

    SerializedMessage assigned(4, counting_allocator(counts));
    assigned = original;
    EXPECT_EQ(text_of(assigned), "cdr");

    SerializedMessage moved(std::move(original));
    EXPECT_EQ(text_of(moved), "cdr");
    EXPECT_EQ(original.capacity(), 0u);
    EXPECT_EQ(original.get_rcl_serialized_message().buffer, nullptr);

    copy = std::move(moved);
    EXPECT_EQ(text_of(copy), "cdr");
  }
  EXPECT_EQ(counts.allocations, 4);
  EXPECT_EQ(counts.deallocations, 4);
}

TEST(SerializedMessage, ReserveSetsTheCapacityAndKeepsTheBytes)
{
  SerializedMessage message(4);
  fill(message, "abc");
  message.reserve(64);
  EXPECT_EQ(message.capacity(), 64u);
  EXPECT_EQ(text_of(message), "abc");
  message.reserve(2);  // as rclcpp: may shrink, cutting the content
  EXPECT_EQ(text_of(message), "ab");
  EXPECT_THROW(message.reserve(0), rclcpp::exceptions::RCLInvalidArgument);

  SerializedMessage moved_from(4);
  SerializedMessage target(std::move(moved_from));
  EXPECT_THROW(moved_from.reserve(8), rclcpp::exceptions::RCLInvalidArgument);
}

TEST(SerializedMessage, ReleaseHandsTheBufferOver)
{
  SerializedMessage message(4);
  fill(message, "xy");
  rcl_serialized_message_t released = message.release_rcl_serialized_message();
  EXPECT_EQ(message.capacity(), 0u);
  EXPECT_EQ(message.get_rcl_serialized_message().buffer, nullptr);
  EXPECT_EQ(released.buffer_length, 2u);
  released.allocator.deallocate(released.buffer, released.allocator.state);
}

TEST(SerializedMessage, AnIncompleteAllocatorIsRefused)
{
  rcl_allocator_t allocator = rcl_get_default_allocator();
  allocator.reallocate = nullptr;
  EXPECT_THROW(SerializedMessage message(8, allocator), rclcpp::exceptions::RCLInvalidArgument);
}
