#include "rclcpp/utilities.hpp"

#include <string>
#include <vector>

#include "rclcpp/contexts/default_context.hpp"
#include "ros_arguments.hpp"
#include "signal_handler.hpp"

namespace rclcpp
{

namespace
{

Context::SharedPtr or_default(Context::SharedPtr context)
{
  return context ? context : contexts::get_global_default_context();
}

}  // namespace

void init(
  int argc, char const * const * argv, const InitOptions & init_options,
  SignalHandlerOptions signal_handler_options)
{
  contexts::get_global_default_context()->init(argc, argv, init_options);
  install_signal_handlers(signal_handler_options);
}

bool install_signal_handlers(SignalHandlerOptions signal_handler_options)
{
  return ros2_standin::SignalHandler::instance().install(signal_handler_options);
}

bool signal_handlers_installed() { return ros2_standin::SignalHandler::instance().installed(); }

SignalHandlerOptions get_current_signal_handler_options()
{
  return ros2_standin::SignalHandler::instance().options();
}

bool uninstall_signal_handlers() { return ros2_standin::SignalHandler::instance().uninstall(); }

std::vector<std::string> init_and_remove_ros_arguments(
  int argc, char const * const * argv, const InitOptions & init_options)
{
  init(argc, argv, init_options);
  return remove_ros_arguments(argc, argv);
}

std::vector<std::string> remove_ros_arguments(int argc, char const * const * argv)
{
  const std::string failure = "failed to parse arguments";
  const std::vector<std::string> arguments = ros2_standin::argument_list(argc, argv, failure);
  std::vector<std::string> remaining;
  for (const size_t index :
       ros2_standin::parse_ros_arguments(arguments, failure).non_ros_arguments) {
    remaining.push_back(arguments[index]);
  }
  return remaining;
}

bool ok(Context::SharedPtr context) { return or_default(std::move(context))->is_valid(); }

bool shutdown(Context::SharedPtr context, const std::string & reason)
{
  const auto default_context = contexts::get_global_default_context();
  const auto target = or_default(std::move(context));
  const bool was_valid = target->shutdown(reason);
  if (target == default_context) {
    uninstall_signal_handlers();
  }
  return was_valid;
}

void on_shutdown(std::function<void()> callback, Context::SharedPtr context)
{
  or_default(std::move(context))->on_shutdown(std::move(callback));
}

bool sleep_for(const std::chrono::nanoseconds & nanoseconds, Context::SharedPtr context)
{
  return or_default(std::move(context))->sleep_for(nanoseconds);
}

}  // namespace rclcpp
