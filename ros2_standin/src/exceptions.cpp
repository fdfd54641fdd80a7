#include "rclcpp/exceptions/exceptions.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "rcl_errors.hpp"

namespace rclcpp
{
namespace exceptions
{

std::string NameValidationError::format_error(
  const char * name_type, const char * name, const char * error_msg, size_t invalid_index)
{
  std::string message = "Invalid ";
  message += name_type;
  message += ": ";
  message += error_msg;
  message += ":\n  '";
  message += name;
  message += "'\n   ";
  message += std::string(invalid_index, ' ');
  message += "^\n";
  return message;
}

namespace
{

std::string format_error_state(const rcl_error_state_t * error_state)
{
  if (error_state == nullptr) {
    return "";
  }
  return std::string(error_state->message) + ", at " + error_state->file + ":" +
         std::to_string(error_state->line_number);
}

}  // namespace

RCLErrorBase::RCLErrorBase(rcl_ret_t ret_arg, const rcl_error_state_t * error_state)
: ret(ret_arg)
, message(error_state != nullptr ? error_state->message : "")
, file(error_state != nullptr ? error_state->file : "")
, line(error_state != nullptr ? static_cast<size_t>(error_state->line_number) : 0)
, formatted_message(format_error_state(error_state))
{
}

RCLError::RCLError(rcl_ret_t ret, const rcl_error_state_t * error_state, const std::string & prefix)
: RCLError(RCLErrorBase(ret, error_state), prefix)
{
}

RCLError::RCLError(const RCLErrorBase & base_exc, const std::string & prefix)
: RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message)
{
}

RCLBadAlloc::RCLBadAlloc(rcl_ret_t ret, const rcl_error_state_t * error_state)
: RCLBadAlloc(RCLErrorBase(ret, error_state))
{
}

RCLBadAlloc::RCLBadAlloc(const RCLErrorBase & base_exc) : RCLErrorBase(base_exc), std::bad_alloc()
{
}

RCLInvalidArgument::RCLInvalidArgument(
  rcl_ret_t ret, const rcl_error_state_t * error_state, const std::string & prefix)
: RCLInvalidArgument(RCLErrorBase(ret, error_state), prefix)
{
}

RCLInvalidArgument::RCLInvalidArgument(const RCLErrorBase & base_exc, const std::string & prefix)
: RCLErrorBase(base_exc), std::invalid_argument(prefix + base_exc.formatted_message)
{
}

RCLInvalidROSArgsError::RCLInvalidROSArgsError(
  rcl_ret_t ret, const rcl_error_state_t * error_state, const std::string & prefix)
: RCLInvalidROSArgsError(RCLErrorBase(ret, error_state), prefix)
{
}

RCLInvalidROSArgsError::RCLInvalidROSArgsError(
  const RCLErrorBase & base_exc, const std::string & prefix)
: RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message)
{
}

void throw_from_rcl_error(
  rcl_ret_t ret, const std::string & prefix, const rcl_error_state_t * error_state)
{
  if (ret == RCL_RET_OK) {
    throw std::invalid_argument("ret is RCL_RET_OK");
  }
  const std::string formatted_prefix = prefix.empty() ? prefix : prefix + ": ";
  const RCLErrorBase base_exc(ret, error_state);
  switch (ret) {
    case RCL_RET_BAD_ALLOC:
      throw RCLBadAlloc(base_exc);
    case RCL_RET_INVALID_ARGUMENT:
      throw RCLInvalidArgument(base_exc, formatted_prefix);
    case RCL_RET_INVALID_ROS_ARGS:
      throw RCLInvalidROSArgsError(base_exc, formatted_prefix);
    default:
      throw RCLError(base_exc, formatted_prefix);
  }
}

}  // namespace exceptions
}  // namespace rclcpp

namespace ros2_standin
{

namespace
{

template <size_t N>
void copy_truncated(char (&target)[N], const std::string & source)
{
  const size_t length = std::min(source.size(), N - 1);
  std::memcpy(target, source.data(), length);
  target[length] = '\0';
}

}  // namespace

void throw_rcl_error(
  rcl_ret_t ret, const std::string & prefix, const std::string & message, const char * file,
  int line)
{
  rcl_error_state_t state{};
  copy_truncated(state.message, message);
  const char * slash = std::strrchr(file, '/');
  copy_truncated(state.file, slash != nullptr ? slash + 1 : file);
  state.line_number = static_cast<uint64_t>(line);
  rclcpp::exceptions::throw_from_rcl_error(ret, prefix, &state);
}

}  // namespace ros2_standin
