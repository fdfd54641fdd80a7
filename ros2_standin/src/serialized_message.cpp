#include "rclcpp/serialized_message.hpp"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "rcl_errors.hpp"

namespace
{

void * default_allocate(size_t size, void *) { return std::malloc(size); }

void default_deallocate(void * pointer, void *) { std::free(pointer); }

void * default_reallocate(void * pointer, size_t size, void *)
{
  return std::realloc(pointer, size);
}

void * default_zero_allocate(size_t number_of_elements, size_t size_of_element, void *)
{
  return std::calloc(number_of_elements, size_of_element);
}

// No memory and no allocator, as rmw_get_zero_initialized_serialized_message() gives.
rcl_serialized_message_t empty_message() { return rcl_serialized_message_t{}; }

bool is_complete(const rcl_allocator_t & allocator)
{
  return allocator.allocate != nullptr && allocator.deallocate != nullptr &&
         allocator.reallocate != nullptr && allocator.zero_allocate != nullptr;
}

// `capacity` bytes allocated, none in use.
rcl_serialized_message_t make_message(size_t capacity, const rcl_allocator_t & allocator)
{
  if (!is_complete(allocator)) {
    ros2_standin::throw_rcl_error(RCL_RET_INVALID_ARGUMENT, "", "allocator is invalid");
  }
  rcl_serialized_message_t message = empty_message();
  message.allocator = allocator;
  if (capacity > 0) {
    message.buffer = static_cast<uint8_t *>(allocator.allocate(capacity, allocator.state));
    if (message.buffer == nullptr) {
      ros2_standin::throw_rcl_error(
        RCL_RET_BAD_ALLOC, "", "failed to allocate memory for uint8 array");
    }
    message.buffer_capacity = capacity;
  }
  return message;
}

rcl_serialized_message_t copy_of(const rcl_serialized_message_t & other)
{
  rcl_serialized_message_t copy = make_message(other.buffer_capacity, other.allocator);
  if (other.buffer_length > 0) {
    std::memcpy(copy.buffer, other.buffer, other.buffer_length);
  }
  copy.buffer_length = other.buffer_length;
  return copy;
}

void free_buffer(rcl_serialized_message_t & message)
{
  if (message.buffer != nullptr && message.allocator.deallocate != nullptr) {
    message.allocator.deallocate(message.buffer, message.allocator.state);
  }
  message = empty_message();
}

}  // namespace

extern "C" rcutils_allocator_t rcutils_get_default_allocator(void)
{
  rcutils_allocator_t allocator{};
  allocator.allocate = default_allocate;
  allocator.deallocate = default_deallocate;
  allocator.reallocate = default_reallocate;
  allocator.zero_allocate = default_zero_allocate;
  allocator.state = nullptr;
  return allocator;
}

namespace rclcpp
{

SerializedMessage::SerializedMessage(const rcl_allocator_t & allocator)
: SerializedMessage(0u, allocator)
{
}

SerializedMessage::SerializedMessage(size_t initial_capacity, const rcl_allocator_t & allocator)
: serialized_message_(make_message(initial_capacity, allocator))
{
}

SerializedMessage::SerializedMessage(const SerializedMessage & other)
: serialized_message_(copy_of(other.serialized_message_))
{
}

SerializedMessage::SerializedMessage(const rcl_serialized_message_t & other)
: serialized_message_(copy_of(other))
{
}

SerializedMessage::SerializedMessage(SerializedMessage && other)
: serialized_message_(std::exchange(other.serialized_message_, empty_message()))
{
}

SerializedMessage::SerializedMessage(rcl_serialized_message_t && other)
: serialized_message_(std::exchange(other, empty_message()))
{
}

SerializedMessage & SerializedMessage::operator=(const SerializedMessage & other)
{
  return *this = other.serialized_message_;
}

SerializedMessage & SerializedMessage::operator=(const rcl_serialized_message_t & other)
{
  if (&serialized_message_ != &other) {
    // Copied first: a failed allocation leaves this message as it was.
    rcl_serialized_message_t copy = copy_of(other);
    free_buffer(serialized_message_);
    serialized_message_ = copy;
  }
  return *this;
}

SerializedMessage & SerializedMessage::operator=(SerializedMessage && other)
{
  return *this = std::move(other.serialized_message_);
}

SerializedMessage & SerializedMessage::operator=(rcl_serialized_message_t && other)
{
  if (&serialized_message_ != &other) {
    free_buffer(serialized_message_);
    serialized_message_ = std::exchange(other, empty_message());
  }
  return *this;
}

SerializedMessage::~SerializedMessage() { free_buffer(serialized_message_); }

rcl_serialized_message_t & SerializedMessage::get_rcl_serialized_message()
{
  return serialized_message_;
}

const rcl_serialized_message_t & SerializedMessage::get_rcl_serialized_message() const
{
  return serialized_message_;
}

size_t SerializedMessage::size() const { return serialized_message_.buffer_length; }

size_t SerializedMessage::capacity() const { return serialized_message_.buffer_capacity; }

void SerializedMessage::reserve(size_t capacity)
{
  rcl_serialized_message_t & message = serialized_message_;
  if (capacity == 0) {
    ros2_standin::throw_rcl_error(
      RCL_RET_INVALID_ARGUMENT, "", "new size of uint8_array has to be greater than zero");
  }
  if (!is_complete(message.allocator)) {
    ros2_standin::throw_rcl_error(RCL_RET_INVALID_ARGUMENT, "", "allocator is invalid");
  }
  auto * buffer = static_cast<uint8_t *>(
    message.allocator.reallocate(message.buffer, capacity, message.allocator.state));
  if (buffer == nullptr) {
    ros2_standin::throw_rcl_error(
      RCL_RET_BAD_ALLOC, "", "failed to reallocate memory for uint8 array");
  }
  message.buffer = buffer;
  message.buffer_capacity = capacity;
  if (message.buffer_length > capacity) {
    message.buffer_length = capacity;
  }
}

rcl_serialized_message_t SerializedMessage::release_rcl_serialized_message()
{
  return std::exchange(serialized_message_, empty_message());
}

}  // namespace rclcpp
