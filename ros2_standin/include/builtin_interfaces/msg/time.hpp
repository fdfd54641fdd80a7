#ifndef BUILTIN_INTERFACES__MSG__TIME_HPP_
#define BUILTIN_INTERFACES__MSG__TIME_HPP_

#include <cstdint>
#include <memory>

#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace builtin_interfaces
{
namespace msg
{

template <class ContainerAllocator>
struct Time_
{
  using Type = Time_<ContainerAllocator>;

  explicit Time_(
    rosidl_runtime_cpp::MessageInitialization _init =
      rosidl_runtime_cpp::MessageInitialization::ALL)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->sec = 0;
      this->nanosec = 0u;
    }
  }

  explicit Time_(
    const ContainerAllocator & _alloc, rosidl_runtime_cpp::MessageInitialization _init =
                                         rosidl_runtime_cpp::MessageInitialization::ALL)
  : Time_(_init)
  {
    (void)_alloc;
  }

  using _sec_type = int32_t;
  _sec_type sec;
  using _nanosec_type = uint32_t;
  _nanosec_type nanosec;

  Type & set__sec(const int32_t & _arg)
  {
    this->sec = _arg;
    return *this;
  }
  Type & set__nanosec(const uint32_t & _arg)
  {
    this->nanosec = _arg;
    return *this;
  }

  using RawPtr = Time_<ContainerAllocator> *;
  using ConstRawPtr = const Time_<ContainerAllocator> *;
  using SharedPtr = std::shared_ptr<Time_<ContainerAllocator>>;
  using ConstSharedPtr = std::shared_ptr<Time_<ContainerAllocator> const>;
  template <typename Deleter = std::default_delete<Time_<ContainerAllocator>>>
  using UniquePtrWithDeleter = std::unique_ptr<Time_<ContainerAllocator>, Deleter>;
  using UniquePtr = UniquePtrWithDeleter<>;
  template <typename Deleter = std::default_delete<Time_<ContainerAllocator>>>
  using ConstUniquePtrWithDeleter = std::unique_ptr<Time_<ContainerAllocator> const, Deleter>;
  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;
  using WeakPtr = std::weak_ptr<Time_<ContainerAllocator>>;
  using ConstWeakPtr = std::weak_ptr<Time_<ContainerAllocator> const>;

  bool operator==(const Time_ & other) const
  {
    return this->sec == other.sec && this->nanosec == other.nanosec;
  }
  bool operator!=(const Time_ & other) const { return !this->operator==(other); }
};

using Time = builtin_interfaces::msg::Time_<std::allocator<void>>;

}  // namespace msg
}  // namespace builtin_interfaces

namespace rosidl_generator_traits
{

template <>
inline const char * data_type<builtin_interfaces::msg::Time>()
{
  return "builtin_interfaces::msg::Time";
}

template <>
inline const char * name<builtin_interfaces::msg::Time>()
{
  return "builtin_interfaces/msg/Time";
}

template <>
struct is_message<builtin_interfaces::msg::Time> : std::true_type
{
};

}  // namespace rosidl_generator_traits

namespace ros2_standin
{

template <>
ROS2_STANDIN_PUBLIC const MessageTypeSupport &
get_message_type_support<builtin_interfaces::msg::Time>();

}  // namespace ros2_standin

#endif  // BUILTIN_INTERFACES__MSG__TIME_HPP_
