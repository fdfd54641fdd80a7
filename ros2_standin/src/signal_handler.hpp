#ifndef ROS2_STANDIN__SRC__SIGNAL_HANDLER_HPP_
#define ROS2_STANDIN__SRC__SIGNAL_HANDLER_HPP_

#include <semaphore.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "rclcpp/utilities.hpp"

namespace ros2_standin
{

// SIGINT/SIGTERM shut down every context initialised with shutdown_on_signal, as rclcpp's
// handler does. The handler itself only posts a semaphore: shutting down is not
// async-signal-safe, so a thread of ours does it.
class SignalHandler
{
public:
  static SignalHandler & instance();

  bool install(rclcpp::SignalHandlerOptions options);
  bool uninstall();
  bool installed() const;
  rclcpp::SignalHandlerOptions options() const;

  ~SignalHandler();
  SignalHandler(const SignalHandler &) = delete;
  SignalHandler & operator=(const SignalHandler &) = delete;

private:
  SignalHandler();

  static void on_signal(int signal_number, siginfo_t * info, void * context);
  static void chain(
    const struct sigaction & previous, int signal_number, siginfo_t * info, void * context);
  void run_deferred_shutdowns();
  void stop_thread(std::thread & thread);

  mutable std::mutex mutex_;
  sem_t semaphore_;
  std::thread thread_;
  std::atomic_bool stopping_{false};
  bool installed_ = false;
  rclcpp::SignalHandlerOptions options_ = rclcpp::SignalHandlerOptions::None;
  struct sigaction previous_sigint_
  {
  };
  struct sigaction previous_sigterm_
  {
  };
};

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__SIGNAL_HANDLER_HPP_
