#ifndef RCLCPP__UTILITIES_HPP_
#define RCLCPP__UTILITIES_HPP_

#include <chrono>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/init_options.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

enum class SignalHandlerOptions
{
  All,
  SigInt,
  SigTerm,
  None,
};

// Initialises the default context with argv's ROS arguments (see Context::init) and, as rclcpp
// does, installs the SIGINT/SIGTERM handlers that shut it down.
RCLCPP_PUBLIC
void init(
  int argc, char const * const * argv, const InitOptions & init_options = InitOptions(),
  SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);

RCLCPP_PUBLIC
bool install_signal_handlers(
  SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);

RCLCPP_PUBLIC
bool signal_handlers_installed();

RCLCPP_PUBLIC
SignalHandlerOptions get_current_signal_handler_options();

RCLCPP_PUBLIC
bool uninstall_signal_handlers();

RCLCPP_PUBLIC
std::vector<std::string> init_and_remove_ros_arguments(
  int argc, char const * const * argv, const InitOptions & init_options = InitOptions());

// The arguments that are not ROS's (see Context::init), the program name among them. Throws
// exceptions::RCLInvalidROSArgsError for a ROS argument that does not parse.
RCLCPP_PUBLIC
std::vector<std::string> remove_ros_arguments(int argc, char const * const * argv);

// Checks the default context when `context` is null.
RCLCPP_PUBLIC
bool ok(rclcpp::Context::SharedPtr context = nullptr);

// Shuts the default context down when `context` is null; false when it was not valid.
RCLCPP_PUBLIC
bool shutdown(
  rclcpp::Context::SharedPtr context = nullptr,
  const std::string & reason = "user called rclcpp::shutdown()");

RCLCPP_PUBLIC
void on_shutdown(std::function<void()> callback, rclcpp::Context::SharedPtr context = nullptr);

RCLCPP_PUBLIC
bool sleep_for(
  const std::chrono::nanoseconds & nanoseconds, rclcpp::Context::SharedPtr context = nullptr);

}  // namespace rclcpp

#endif  // RCLCPP__UTILITIES_HPP_
