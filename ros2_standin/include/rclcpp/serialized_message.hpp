#ifndef RCLCPP__SERIALIZED_MESSAGE_HPP_
#define RCLCPP__SERIALIZED_MESSAGE_HPP_

#include <cstddef>

#include "rcl/allocator.h"
#include "rcl/types.h"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

// Owns an rcl_serialized_message_t: the bytes a message has on the wire, the 4-byte CDR
// encapsulation header first. Its memory comes from, and goes back to, the allocator stored
// in the message.
class RCLCPP_PUBLIC_TYPE SerializedMessage
{
public:
  // Throws RCLInvalidArgument for an incomplete allocator, RCLBadAlloc when it fails.
  RCLCPP_PUBLIC
  explicit SerializedMessage(const rcl_allocator_t & allocator = rcl_get_default_allocator());

  RCLCPP_PUBLIC
  explicit SerializedMessage(
    size_t initial_capacity, const rcl_allocator_t & allocator = rcl_get_default_allocator());

  // Copies take the other's capacity and allocator and its `buffer_length` bytes.
  RCLCPP_PUBLIC
  SerializedMessage(const SerializedMessage & other);

  RCLCPP_PUBLIC
  explicit SerializedMessage(const rcl_serialized_message_t & other);

  // Moves leave the source empty, without memory or allocator.
  RCLCPP_PUBLIC
  SerializedMessage(SerializedMessage && other);

  RCLCPP_PUBLIC
  explicit SerializedMessage(rcl_serialized_message_t && other);

  RCLCPP_PUBLIC
  SerializedMessage & operator=(const SerializedMessage & other);

  RCLCPP_PUBLIC
  SerializedMessage & operator=(const rcl_serialized_message_t & other);

  RCLCPP_PUBLIC
  SerializedMessage & operator=(SerializedMessage && other);

  RCLCPP_PUBLIC
  SerializedMessage & operator=(rcl_serialized_message_t && other);

  RCLCPP_PUBLIC
  virtual ~SerializedMessage();

  RCLCPP_PUBLIC
  rcl_serialized_message_t & get_rcl_serialized_message();

  RCLCPP_PUBLIC
  const rcl_serialized_message_t & get_rcl_serialized_message() const;

  // Bytes in use (buffer_length), not the memory allocated.
  RCLCPP_PUBLIC
  size_t size() const;

  RCLCPP_PUBLIC
  size_t capacity() const;

  // Reallocates to exactly `capacity` bytes (which may shrink the content), as rclcpp does;
  // pointers into the buffer become invalid. Throws RCLInvalidArgument for 0 or a message
  // without allocator, RCLBadAlloc when the allocator fails.
  RCLCPP_PUBLIC
  void reserve(size_t capacity);

  // Hands over the buffer, which the caller must then free with its allocator; this object is
  // left empty.
  RCLCPP_PUBLIC
  rcl_serialized_message_t release_rcl_serialized_message();

private:
  rcl_serialized_message_t serialized_message_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SERIALIZED_MESSAGE_HPP_
