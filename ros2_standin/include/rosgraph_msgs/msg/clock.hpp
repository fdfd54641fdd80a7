#ifndef ROSGRAPH_MSGS__MSG__CLOCK_HPP_
#define ROSGRAPH_MSGS__MSG__CLOCK_HPP_

#include <memory>

#include "builtin_interfaces/msg/time.hpp"
#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rosgraph_msgs
{
namespace msg
{

template <class ContainerAllocator>
struct Clock_
{
  using Type = Clock_<ContainerAllocator>;

  explicit Clock_(
    rosidl_runtime_cpp::MessageInitialization _init =
      rosidl_runtime_cpp::MessageInitialization::ALL)
  : clock(_init)
  {
  }

  explicit Clock_(
    const ContainerAllocator & _alloc, rosidl_runtime_cpp::MessageInitialization _init =
                                         rosidl_runtime_cpp::MessageInitialization::ALL)
  : clock(_alloc, _init)
  {
  }

  using _clock_type = builtin_interfaces::msg::Time_<ContainerAllocator>;
  _clock_type clock;

  Type & set__clock(const builtin_interfaces::msg::Time_<ContainerAllocator> & _arg)
  {
    this->clock = _arg;
    return *this;
  }

  using RawPtr = Clock_<ContainerAllocator> *;
  using ConstRawPtr = const Clock_<ContainerAllocator> *;
  using SharedPtr = std::shared_ptr<Clock_<ContainerAllocator>>;
  using ConstSharedPtr = std::shared_ptr<Clock_<ContainerAllocator> const>;
  template <typename Deleter = std::default_delete<Clock_<ContainerAllocator>>>
  using UniquePtrWithDeleter = std::unique_ptr<Clock_<ContainerAllocator>, Deleter>;
  using UniquePtr = UniquePtrWithDeleter<>;
  template <typename Deleter = std::default_delete<Clock_<ContainerAllocator>>>
  using ConstUniquePtrWithDeleter = std::unique_ptr<Clock_<ContainerAllocator> const, Deleter>;
  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;
  using WeakPtr = std::weak_ptr<Clock_<ContainerAllocator>>;
  using ConstWeakPtr = std::weak_ptr<Clock_<ContainerAllocator> const>;

  bool operator==(const Clock_ & other) const { return this->clock == other.clock; }
  bool operator!=(const Clock_ & other) const { return !this->operator==(other); }
};

using Clock = rosgraph_msgs::msg::Clock_<std::allocator<void>>;

}  // namespace msg
}  // namespace rosgraph_msgs

namespace rosidl_generator_traits
{

template <>
inline const char * data_type<rosgraph_msgs::msg::Clock>()
{
  return "rosgraph_msgs::msg::Clock";
}

template <>
inline const char * name<rosgraph_msgs::msg::Clock>()
{
  return "rosgraph_msgs/msg/Clock";
}

template <>
struct is_message<rosgraph_msgs::msg::Clock> : std::true_type
{
};

}  // namespace rosidl_generator_traits

namespace ros2_standin
{

template <>
ROS2_STANDIN_PUBLIC const MessageTypeSupport &
get_message_type_support<rosgraph_msgs::msg::Clock>();

}  // namespace ros2_standin

#endif  // ROSGRAPH_MSGS__MSG__CLOCK_HPP_
