#ifndef DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_ARRAY_HPP_
#define DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_ARRAY_HPP_

#include <memory>
#include <vector>

#include "diagnostic_msgs/msg/diagnostic_status.hpp"
#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "std_msgs/msg/header.hpp"

namespace diagnostic_msgs
{
namespace msg
{

template <class ContainerAllocator>
struct DiagnosticArray_
{
  using Type = DiagnosticArray_<ContainerAllocator>;

  explicit DiagnosticArray_(
    rosidl_runtime_cpp::MessageInitialization _init =
      rosidl_runtime_cpp::MessageInitialization::ALL)
  : header(_init)
  {
  }

  explicit DiagnosticArray_(
    const ContainerAllocator & _alloc, rosidl_runtime_cpp::MessageInitialization _init =
                                         rosidl_runtime_cpp::MessageInitialization::ALL)
  : header(_alloc, _init)
  {
  }

  using _header_type = std_msgs::msg::Header_<ContainerAllocator>;
  _header_type header;
  using _status_type = std::vector<
    diagnostic_msgs::msg::DiagnosticStatus_<ContainerAllocator>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<
      diagnostic_msgs::msg::DiagnosticStatus_<ContainerAllocator>>>;
  _status_type status;

  Type & set__header(const std_msgs::msg::Header_<ContainerAllocator> & _arg)
  {
    this->header = _arg;
    return *this;
  }
  Type & set__status(const _status_type & _arg)
  {
    this->status = _arg;
    return *this;
  }

  using RawPtr = DiagnosticArray_<ContainerAllocator> *;
  using ConstRawPtr = const DiagnosticArray_<ContainerAllocator> *;
  using SharedPtr = std::shared_ptr<DiagnosticArray_<ContainerAllocator>>;
  using ConstSharedPtr = std::shared_ptr<DiagnosticArray_<ContainerAllocator> const>;
  template <typename Deleter = std::default_delete<DiagnosticArray_<ContainerAllocator>>>
  using UniquePtrWithDeleter = std::unique_ptr<DiagnosticArray_<ContainerAllocator>, Deleter>;
  using UniquePtr = UniquePtrWithDeleter<>;
  template <typename Deleter = std::default_delete<DiagnosticArray_<ContainerAllocator>>>
  using ConstUniquePtrWithDeleter =
    std::unique_ptr<DiagnosticArray_<ContainerAllocator> const, Deleter>;
  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;
  using WeakPtr = std::weak_ptr<DiagnosticArray_<ContainerAllocator>>;
  using ConstWeakPtr = std::weak_ptr<DiagnosticArray_<ContainerAllocator> const>;

  bool operator==(const DiagnosticArray_ & other) const
  {
    return this->header == other.header && this->status == other.status;
  }
  bool operator!=(const DiagnosticArray_ & other) const { return !this->operator==(other); }
};

using DiagnosticArray = diagnostic_msgs::msg::DiagnosticArray_<std::allocator<void>>;

}  // namespace msg
}  // namespace diagnostic_msgs

namespace rosidl_generator_traits
{

template <>
inline const char * data_type<diagnostic_msgs::msg::DiagnosticArray>()
{
  return "diagnostic_msgs::msg::DiagnosticArray";
}

template <>
inline const char * name<diagnostic_msgs::msg::DiagnosticArray>()
{
  return "diagnostic_msgs/msg/DiagnosticArray";
}

template <>
struct is_message<diagnostic_msgs::msg::DiagnosticArray> : std::true_type
{
};

}  // namespace rosidl_generator_traits

namespace ros2_standin
{

template <>
ROS2_STANDIN_PUBLIC const MessageTypeSupport &
get_message_type_support<diagnostic_msgs::msg::DiagnosticArray>();

}  // namespace ros2_standin

#endif  // DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_ARRAY_HPP_
