#ifndef DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_STATUS_HPP_
#define DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_STATUS_HPP_

#include <memory>
#include <string>
#include <vector>

#include "diagnostic_msgs/msg/key_value.hpp"
#include "ros2_standin/message_type_support.hpp"
#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace diagnostic_msgs
{
namespace msg
{

template <class ContainerAllocator>
struct DiagnosticStatus_
{
  using Type = DiagnosticStatus_<ContainerAllocator>;

  explicit DiagnosticStatus_(
    rosidl_runtime_cpp::MessageInitialization _init =
      rosidl_runtime_cpp::MessageInitialization::ALL)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->level = 0;
      this->name = "";
      this->message = "";
      this->hardware_id = "";
    }
  }

  explicit DiagnosticStatus_(
    const ContainerAllocator & _alloc, rosidl_runtime_cpp::MessageInitialization _init =
                                         rosidl_runtime_cpp::MessageInitialization::ALL)
  : name(_alloc), message(_alloc), hardware_id(_alloc)
  {
    if (
      rosidl_runtime_cpp::MessageInitialization::ALL == _init ||
      rosidl_runtime_cpp::MessageInitialization::ZERO == _init) {
      this->level = 0;
      this->name = "";
      this->message = "";
      this->hardware_id = "";
    }
  }

  // The message's `byte`, which rosidl's C++ makes unsigned char (an octet in IDL).
  using _level_type = unsigned char;
  _level_type level;
  using _name_type = std::basic_string<
    char, std::char_traits<char>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<char>>;
  _name_type name;
  using _message_type = std::basic_string<
    char, std::char_traits<char>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<char>>;
  _message_type message;
  using _hardware_id_type = std::basic_string<
    char, std::char_traits<char>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<char>>;
  _hardware_id_type hardware_id;
  using _values_type = std::vector<
    diagnostic_msgs::msg::KeyValue_<ContainerAllocator>,
    typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<
      diagnostic_msgs::msg::KeyValue_<ContainerAllocator>>>;
  _values_type values;

  Type & set__level(const unsigned char & _arg)
  {
    this->level = _arg;
    return *this;
  }
  Type & set__name(const _name_type & _arg)
  {
    this->name = _arg;
    return *this;
  }
  Type & set__message(const _message_type & _arg)
  {
    this->message = _arg;
    return *this;
  }
  Type & set__hardware_id(const _hardware_id_type & _arg)
  {
    this->hardware_id = _arg;
    return *this;
  }
  Type & set__values(const _values_type & _arg)
  {
    this->values = _arg;
    return *this;
  }

  // Inline variables since C++17: no definitions outside the class are needed.
  static constexpr unsigned char OK = 0;
  static constexpr unsigned char WARN = 1;
  static constexpr unsigned char ERROR = 2;
  static constexpr unsigned char STALE = 3;

  using RawPtr = DiagnosticStatus_<ContainerAllocator> *;
  using ConstRawPtr = const DiagnosticStatus_<ContainerAllocator> *;
  using SharedPtr = std::shared_ptr<DiagnosticStatus_<ContainerAllocator>>;
  using ConstSharedPtr = std::shared_ptr<DiagnosticStatus_<ContainerAllocator> const>;
  template <typename Deleter = std::default_delete<DiagnosticStatus_<ContainerAllocator>>>
  using UniquePtrWithDeleter = std::unique_ptr<DiagnosticStatus_<ContainerAllocator>, Deleter>;
  using UniquePtr = UniquePtrWithDeleter<>;
  template <typename Deleter = std::default_delete<DiagnosticStatus_<ContainerAllocator>>>
  using ConstUniquePtrWithDeleter =
    std::unique_ptr<DiagnosticStatus_<ContainerAllocator> const, Deleter>;
  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;
  using WeakPtr = std::weak_ptr<DiagnosticStatus_<ContainerAllocator>>;
  using ConstWeakPtr = std::weak_ptr<DiagnosticStatus_<ContainerAllocator> const>;

  bool operator==(const DiagnosticStatus_ & other) const
  {
    return this->level == other.level && this->name == other.name &&
           this->message == other.message && this->hardware_id == other.hardware_id &&
           this->values == other.values;
  }
  bool operator!=(const DiagnosticStatus_ & other) const { return !this->operator==(other); }
};

using DiagnosticStatus = diagnostic_msgs::msg::DiagnosticStatus_<std::allocator<void>>;

}  // namespace msg
}  // namespace diagnostic_msgs

namespace rosidl_generator_traits
{

template <>
inline const char * data_type<diagnostic_msgs::msg::DiagnosticStatus>()
{
  return "diagnostic_msgs::msg::DiagnosticStatus";
}

template <>
inline const char * name<diagnostic_msgs::msg::DiagnosticStatus>()
{
  return "diagnostic_msgs/msg/DiagnosticStatus";
}

template <>
struct is_message<diagnostic_msgs::msg::DiagnosticStatus> : std::true_type
{
};

}  // namespace rosidl_generator_traits

namespace ros2_standin
{

template <>
ROS2_STANDIN_PUBLIC const MessageTypeSupport &
get_message_type_support<diagnostic_msgs::msg::DiagnosticStatus>();

}  // namespace ros2_standin

#endif  // DIAGNOSTIC_MSGS__MSG__DIAGNOSTIC_STATUS_HPP_
