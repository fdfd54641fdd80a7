#include "type_introspection.hpp"

#if __has_include(<rosidl_typesupport_introspection_cpp/message_introspection.hpp>) && \
  __has_include(<rclcpp/typesupport_helpers.hpp>)
#define KELVARON_HAS_INTROSPECTION 1
#include <rclcpp/version.h>
#include <rclcpp/typesupport_helpers.hpp>
#include <rosidl_typesupport_introspection_cpp/field_types.hpp>
#include <rosidl_typesupport_introspection_cpp/identifier.hpp>
#include <rosidl_typesupport_introspection_cpp/message_introspection.hpp>

#include <exception>
#include <string_view>
#endif

namespace kelvaron::diag_node
{

#ifdef KELVARON_HAS_INTROSPECTION

std::optional<bool> introspectStartsWithHeader(const std::string & type)
{
  namespace introspection = rosidl_typesupport_introspection_cpp;
  try {
    // The library must stay loaded while its member tables are read.
    const auto library =
      rclcpp::get_typesupport_library(type, introspection::typesupport_identifier);
    // The one place where the supported releases' APIs part: Jazzy renamed the look-up and
    // deprecated the old name, which Humble's rclcpp alone knows.
#if RCLCPP_VERSION_GTE(28, 0, 0)
    const rosidl_message_type_support_t * support =
      rclcpp::get_message_typesupport_handle(type, introspection::typesupport_identifier, *library);
#else
    const rosidl_message_type_support_t * support =
      rclcpp::get_typesupport_handle(type, introspection::typesupport_identifier, *library);
#endif
    const auto * members = static_cast<const introspection::MessageMembers *>(support->data);
    const auto is_header = [](const introspection::MessageMembers & message) {
      return std::string_view(message.message_namespace_) == "std_msgs::msg" &&
             std::string_view(message.message_name_) == "Header";
    };
    // A Header message is its own header: its first field is the stamp.
    if (is_header(*members)) {
      return true;
    }
    if (members->member_count_ == 0) {
      return false;
    }
    const introspection::MessageMember & first = members->members_[0];
    if (first.type_id_ != introspection::ROS_TYPE_MESSAGE || first.members_ == nullptr) {
      return false;
    }
    return is_header(*static_cast<const introspection::MessageMembers *>(first.members_->data));
  } catch (const std::exception &) {
    return std::nullopt;
  }
}

#else

std::optional<bool> introspectStartsWithHeader(const std::string &) { return std::nullopt; }

#endif

}  // namespace kelvaron::diag_node
