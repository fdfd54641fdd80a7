#ifndef DIAGNOSTIC_MSGS__MSG__KEY_VALUE_HPP_
#define DIAGNOSTIC_MSGS__MSG__KEY_VALUE_HPP_

#include <memory>
#include <string>

#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace diagnostic_msgs
{
namespace msg
{

template <class ContainerAllocator>
struct KeyValue_
{
  using Type = KeyValue_<ContainerAllocator>;

  explicit KeyValue_(
    rosidl_runtime_cpp::MessageInitialization _init =
      rosidl_runtime_cpp::MessageInitialization::ALL)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->key = "";
      this->value = "";
    }
  }

  explicit KeyValue_(
    const ContainerAllocator & _alloc, rosidl_runtime_cpp::MessageInitialization _init =
                                         rosidl_runtime_cpp::MessageInitialization::ALL)
  : key(_alloc), value(_alloc)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->key = "";
      this->value = "";
    }
  }

  using _key_type = std::basic_string<
    char, std::char_traits<char>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<char>>;
  _key_type key;
  using _value_type = std::basic_string<
    char, std::char_traits<char>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<char>>;
  _value_type value;

  Type & set__key(const _key_type & _arg)
  {
    this->key = _arg;
    return *this;
  }
  Type & set__value(const _value_type & _arg)
  {
    this->value = _arg;
    return *this;
  }

  using RawPtr = KeyValue_<ContainerAllocator> *;
  using ConstRawPtr = const KeyValue_<ContainerAllocator> *;
  using SharedPtr = std::shared_ptr<KeyValue_<ContainerAllocator>>;
  using ConstSharedPtr = std::shared_ptr<KeyValue_<ContainerAllocator> const>;
  template <typename Deleter = std::default_delete<KeyValue_<ContainerAllocator>>>
  using UniquePtrWithDeleter = std::unique_ptr<KeyValue_<ContainerAllocator>, Deleter>;
  using UniquePtr = UniquePtrWithDeleter<>;
  template <typename Deleter = std::default_delete<KeyValue_<ContainerAllocator>>>
  using ConstUniquePtrWithDeleter = std::unique_ptr<KeyValue_<ContainerAllocator> const, Deleter>;
  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;
  using WeakPtr = std::weak_ptr<KeyValue_<ContainerAllocator>>;
  using ConstWeakPtr = std::weak_ptr<KeyValue_<ContainerAllocator> const>;

  bool operator==(const KeyValue_ & other) const
  {
    return this->key == other.key && this->value == other.value;
  }
  bool operator!=(const KeyValue_ & other) const { return !this->operator==(other); }
};

using KeyValue = diagnostic_msgs::msg::KeyValue_<std::allocator<void>>;

}  // namespace msg
}  // namespace diagnostic_msgs

namespace rosidl_generator_traits
{

template <>
inline const char * data_type<diagnostic_msgs::msg::KeyValue>()
{
  return "diagnostic_msgs::msg::KeyValue";
}

template <>
inline const char * name<diagnostic_msgs::msg::KeyValue>()
{
  return "diagnostic_msgs/msg/KeyValue";
}

template <>
struct is_message<diagnostic_msgs::msg::KeyValue> : std::true_type
{
};

}  // namespace rosidl_generator_traits

namespace ros2_standin
{

template <>
ROS2_STANDIN_PUBLIC const MessageTypeSupport &
get_message_type_support<diagnostic_msgs::msg::KeyValue>();

}  // namespace ros2_standin

#endif  // DIAGNOSTIC_MSGS__MSG__KEY_VALUE_HPP_
