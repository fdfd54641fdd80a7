#ifndef STD_MSGS__MSG__HEADER_HPP_
#define STD_MSGS__MSG__HEADER_HPP_

#include <memory>
#include <string>

#include "builtin_interfaces/msg/time.hpp"
#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace std_msgs
{
namespace msg
{

template <class ContainerAllocator>
struct Header_
{
  using Type = Header_<ContainerAllocator>;

  explicit Header_(
    rosidl_runtime_cpp::MessageInitialization _init =
      rosidl_runtime_cpp::MessageInitialization::ALL)
  : stamp(_init)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->frame_id = "";
    }
  }

  explicit Header_(
    const ContainerAllocator & _alloc, rosidl_runtime_cpp::MessageInitialization _init =
                                         rosidl_runtime_cpp::MessageInitialization::ALL)
  : stamp(_alloc, _init), frame_id(_alloc)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->frame_id = "";
    }
  }

  using _stamp_type = builtin_interfaces::msg::Time_<ContainerAllocator>;
  _stamp_type stamp;
  using _frame_id_type = std::basic_string<
    char, std::char_traits<char>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<char>>;
  _frame_id_type frame_id;

  Type & set__stamp(const builtin_interfaces::msg::Time_<ContainerAllocator> & _arg)
  {
    this->stamp = _arg;
    return *this;
  }
  Type & set__frame_id(const _frame_id_type & _arg)
  {
    this->frame_id = _arg;
    return *this;
  }

  using RawPtr = Header_<ContainerAllocator> *;
  using ConstRawPtr = const Header_<ContainerAllocator> *;
  using SharedPtr = std::shared_ptr<Header_<ContainerAllocator>>;
  using ConstSharedPtr = std::shared_ptr<Header_<ContainerAllocator> const>;
  template <typename Deleter = std::default_delete<Header_<ContainerAllocator>>>
  using UniquePtrWithDeleter = std::unique_ptr<Header_<ContainerAllocator>, Deleter>;
  using UniquePtr = UniquePtrWithDeleter<>;
  template <typename Deleter = std::default_delete<Header_<ContainerAllocator>>>
  using ConstUniquePtrWithDeleter = std::unique_ptr<Header_<ContainerAllocator> const, Deleter>;
  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;
  using WeakPtr = std::weak_ptr<Header_<ContainerAllocator>>;
  using ConstWeakPtr = std::weak_ptr<Header_<ContainerAllocator> const>;

  bool operator==(const Header_ & other) const
  {
    return this->stamp == other.stamp && this->frame_id == other.frame_id;
  }
  bool operator!=(const Header_ & other) const { return !this->operator==(other); }
};

using Header = std_msgs::msg::Header_<std::allocator<void>>;

}  // namespace msg
}  // namespace std_msgs

namespace rosidl_generator_traits
{

template <>
inline const char * data_type<std_msgs::msg::Header>()
{
  return "std_msgs::msg::Header";
}

template <>
inline const char * name<std_msgs::msg::Header>()
{
  return "std_msgs/msg/Header";
}

template <>
struct is_message<std_msgs::msg::Header> : std::true_type
{
};

}  // namespace rosidl_generator_traits

namespace ros2_standin
{

template <>
ROS2_STANDIN_PUBLIC const MessageTypeSupport & get_message_type_support<std_msgs::msg::Header>();

}  // namespace ros2_standin

#endif  // STD_MSGS__MSG__HEADER_HPP_
