#ifndef RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
#define RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_

#include <cstddef>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "rcl/error_handling.h"
#include "rcl/types.h"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{
namespace exceptions
{

class RCLCPP_PUBLIC_TYPE InvalidNodeError : public std::runtime_error
{
public:
  InvalidNodeError() : std::runtime_error("node is invalid") {}
};

class RCLCPP_PUBLIC_TYPE NameValidationError : public std::invalid_argument
{
public:
  NameValidationError(
    const char * name_type_, const char * name_, const char * error_msg_, size_t invalid_index_)
  : std::invalid_argument(format_error(name_type_, name_, error_msg_, invalid_index_))
  , name_type(name_type_)
  , name(name_)
  , error_msg(error_msg_)
  , invalid_index(invalid_index_)
  {
  }

  RCLCPP_PUBLIC
  static std::string format_error(
    const char * name_type, const char * name, const char * error_msg, size_t invalid_index);

  const std::string name_type;
  const std::string name;
  const std::string error_msg;
  const size_t invalid_index;
};

class RCLCPP_PUBLIC_TYPE InvalidNodeNameError : public NameValidationError
{
public:
  InvalidNodeNameError(const char * node_name, const char * error_msg, size_t invalid_index)
  : NameValidationError("node name", node_name, error_msg, invalid_index)
  {
  }
};

class RCLCPP_PUBLIC_TYPE InvalidNamespaceError : public NameValidationError
{
public:
  InvalidNamespaceError(const char * namespace_, const char * error_msg, size_t invalid_index)
  : NameValidationError("namespace", namespace_, error_msg, invalid_index)
  {
  }
};

class RCLCPP_PUBLIC_TYPE InvalidTopicNameError : public NameValidationError
{
public:
  InvalidTopicNameError(const char * namespace_, const char * error_msg, size_t invalid_index)
  : NameValidationError("topic name", namespace_, error_msg, invalid_index)
  {
  }
};

class RCLCPP_PUBLIC_TYPE InvalidServiceNameError : public NameValidationError
{
public:
  InvalidServiceNameError(const char * namespace_, const char * error_msg, size_t invalid_index)
  : NameValidationError("service name", namespace_, error_msg, invalid_index)
  {
  }
};

// Throws the exception that rclcpp maps `ret` to: RCLInvalidArgument, RCLBadAlloc,
// RCLInvalidROSArgsError or RCLError.
// The attribute goes first: clang accepts no attribute list after the visibility macro.
[[noreturn]] RCLCPP_PUBLIC void throw_from_rcl_error(
  rcl_ret_t ret, const std::string & prefix = "", const rcl_error_state_t * error_state = nullptr);

class RCLCPP_PUBLIC_TYPE RCLErrorBase
{
public:
  RCLCPP_PUBLIC
  RCLErrorBase(rcl_ret_t ret, const rcl_error_state_t * error_state);
  virtual ~RCLErrorBase() {}

  rcl_ret_t ret;
  std::string message;
  std::string file;
  size_t line;
  std::string formatted_message;
};

class RCLCPP_PUBLIC_TYPE RCLError : public RCLErrorBase, public std::runtime_error
{
public:
  RCLCPP_PUBLIC
  RCLError(rcl_ret_t ret, const rcl_error_state_t * error_state, const std::string & prefix);
  RCLCPP_PUBLIC
  RCLError(const RCLErrorBase & base_exc, const std::string & prefix);
};

class RCLCPP_PUBLIC_TYPE RCLBadAlloc : public RCLErrorBase, public std::bad_alloc
{
public:
  RCLCPP_PUBLIC
  RCLBadAlloc(rcl_ret_t ret, const rcl_error_state_t * error_state);
  RCLCPP_PUBLIC
  explicit RCLBadAlloc(const RCLErrorBase & base_exc);
};

class RCLCPP_PUBLIC_TYPE RCLInvalidArgument : public RCLErrorBase, public std::invalid_argument
{
public:
  RCLCPP_PUBLIC
  RCLInvalidArgument(
    rcl_ret_t ret, const rcl_error_state_t * error_state, const std::string & prefix);
  RCLCPP_PUBLIC
  RCLInvalidArgument(const RCLErrorBase & base_exc, const std::string & prefix);
};

// What rcl reports for a --ros-args argument it cannot parse.
class RCLCPP_PUBLIC_TYPE RCLInvalidROSArgsError : public RCLErrorBase, public std::runtime_error
{
public:
  RCLCPP_PUBLIC
  RCLInvalidROSArgsError(
    rcl_ret_t ret, const rcl_error_state_t * error_state, const std::string & prefix);
  RCLCPP_PUBLIC
  RCLInvalidROSArgsError(const RCLErrorBase & base_exc, const std::string & prefix);
};

// Arguments after --ros-args that are none of ROS's.
class RCLCPP_PUBLIC_TYPE UnknownROSArgsError : public std::runtime_error
{
public:
  explicit UnknownROSArgsError(std::vector<std::string> && unknown_ros_args_in)
  : std::runtime_error("found unknown ROS arguments: '" + join(unknown_ros_args_in) + "'")
  , unknown_ros_args(std::move(unknown_ros_args_in))
  {
  }

  const std::vector<std::string> unknown_ros_args;

private:
  static std::string join(const std::vector<std::string> & arguments)
  {
    std::string joined;
    for (const std::string & argument : arguments) {
      joined += (joined.empty() ? "" : "', '") + argument;
    }
    return joined;
  }
};

class RCLCPP_PUBLIC_TYPE InvalidParametersException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

class RCLCPP_PUBLIC_TYPE InvalidParameterValueException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

class RCLCPP_PUBLIC_TYPE InvalidParameterTypeException : public std::runtime_error
{
public:
  InvalidParameterTypeException(const std::string & name, const std::string message)
  : std::runtime_error("parameter '" + name + "' has invalid type: " + message)
  {
  }
};

class RCLCPP_PUBLIC_TYPE UninitializedStaticallyTypedParameterException : public std::runtime_error
{
public:
  explicit UninitializedStaticallyTypedParameterException(const std::string & name)
  : std::runtime_error("Statically typed parameter '" + name + "' must be initialized.")
  {
  }
};

class RCLCPP_PUBLIC_TYPE ParameterAlreadyDeclaredException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

class RCLCPP_PUBLIC_TYPE ParameterNotDeclaredException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

class RCLCPP_PUBLIC_TYPE ParameterUninitializedException : public std::runtime_error
{
public:
  explicit ParameterUninitializedException(const std::string & name)
  : std::runtime_error("parameter '" + name + "' is not initialized")
  {
  }
};

}  // namespace exceptions
}  // namespace rclcpp

#endif  // RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
