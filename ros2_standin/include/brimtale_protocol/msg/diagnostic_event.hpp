#ifndef BRIMTALE_PROTOCOL__MSG__DIAGNOSTIC_EVENT_HPP_
#define BRIMTALE_PROTOCOL__MSG__DIAGNOSTIC_EVENT_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "std_msgs/msg/header.hpp"

namespace brimtale_protocol
{
namespace msg
{

template <class ContainerAllocator>
struct DiagnosticEvent_
{
  using Type = DiagnosticEvent_<ContainerAllocator>;

  explicit DiagnosticEvent_(
    rosidl_runtime_cpp::MessageInitialization _init =
      rosidl_runtime_cpp::MessageInitialization::ALL)
  : header(_init)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->event_id = 0;
      this->event_status = 0;
      this->event_msg = "";
    }
  }

  explicit DiagnosticEvent_(
    const ContainerAllocator & _alloc, rosidl_runtime_cpp::MessageInitialization _init =
                                         rosidl_runtime_cpp::MessageInitialization::ALL)
  : header(_alloc, _init), event_msg(_alloc)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->event_id = 0;
      this->event_status = 0;
      this->event_msg = "";
    }
  }

  using _header_type = std_msgs::msg::Header_<ContainerAllocator>;
  _header_type header;
  using _event_id_type = int32_t;
  _event_id_type event_id;
  using _event_status_type = int32_t;
  _event_status_type event_status;
  using _event_msg_type = std::basic_string<
    char, std::char_traits<char>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<char>>;
  _event_msg_type event_msg;

  Type & set__header(const std_msgs::msg::Header_<ContainerAllocator> & _arg)
  {
    this->header = _arg;
    return *this;
  }
  Type & set__event_id(const int32_t & _arg)
  {
    this->event_id = _arg;
    return *this;
  }
  Type & set__event_status(const int32_t & _arg)
  {
    this->event_status = _arg;
    return *this;
  }
  Type & set__event_msg(const _event_msg_type & _arg)
  {
    this->event_msg = _arg;
    return *this;
  }

  using RawPtr = DiagnosticEvent_<ContainerAllocator> *;
  using ConstRawPtr = const DiagnosticEvent_<ContainerAllocator> *;
  using SharedPtr = std::shared_ptr<DiagnosticEvent_<ContainerAllocator>>;
  using ConstSharedPtr = std::shared_ptr<DiagnosticEvent_<ContainerAllocator> const>;
  template <typename Deleter = std::default_delete<DiagnosticEvent_<ContainerAllocator>>>
  using UniquePtrWithDeleter = std::unique_ptr<DiagnosticEvent_<ContainerAllocator>, Deleter>;
  using UniquePtr = UniquePtrWithDeleter<>;
  template <typename Deleter = std::default_delete<DiagnosticEvent_<ContainerAllocator>>>
  using ConstUniquePtrWithDeleter =
    std::unique_ptr<DiagnosticEvent_<ContainerAllocator> const, Deleter>;
  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;
  using WeakPtr = std::weak_ptr<DiagnosticEvent_<ContainerAllocator>>;
  using ConstWeakPtr = std::weak_ptr<DiagnosticEvent_<ContainerAllocator> const>;

  bool operator==(const DiagnosticEvent_ & other) const
  {
    return this->header == other.header && this->event_id == other.event_id &&
           this->event_status == other.event_status && this->event_msg == other.event_msg;
  }
  bool operator!=(const DiagnosticEvent_ & other) const { return !this->operator==(other); }
};

using DiagnosticEvent = brimtale_protocol::msg::DiagnosticEvent_<std::allocator<void>>;

}  // namespace msg
}  // namespace brimtale_protocol

namespace rosidl_generator_traits
{

template <>
inline const char * data_type<brimtale_protocol::msg::DiagnosticEvent>()
{
  return "brimtale_protocol::msg::DiagnosticEvent";
}

template <>
inline const char * name<brimtale_protocol::msg::DiagnosticEvent>()
{
  return "brimtale_protocol/msg/DiagnosticEvent";
}

template <>
struct is_message<brimtale_protocol::msg::DiagnosticEvent> : std::true_type
{
};

}  // namespace rosidl_generator_traits

namespace ros2_standin
{

template <>
ROS2_STANDIN_PUBLIC const MessageTypeSupport &
get_message_type_support<brimtale_protocol::msg::DiagnosticEvent>();

}  // namespace ros2_standin

#endif  // BRIMTALE_PROTOCOL__MSG__DIAGNOSTIC_EVENT_HPP_
