#include "signal_handler.hpp"

#include <cerrno>
#include <cstdio>

#include "context_state.hpp"

namespace ros2_standin
{

namespace
{

bool handles(rclcpp::SignalHandlerOptions options, int signal_number)
{
  switch (options) {
    case rclcpp::SignalHandlerOptions::All:
      return true;
    case rclcpp::SignalHandlerOptions::SigInt:
      return signal_number == SIGINT;
    case rclcpp::SignalHandlerOptions::SigTerm:
      return signal_number == SIGTERM;
    case rclcpp::SignalHandlerOptions::None:
      break;
  }
  return false;
}

}  // namespace

SignalHandler & SignalHandler::instance()
{
  static SignalHandler handler;
  return handler;
}

SignalHandler::SignalHandler() { sem_init(&semaphore_, 0, 0); }

SignalHandler::~SignalHandler()
{
  uninstall();
  sem_destroy(&semaphore_);
}

bool SignalHandler::install(rclcpp::SignalHandlerOptions options)
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (installed_ || options == rclcpp::SignalHandlerOptions::None) {
    return false;
  }
  struct sigaction action
  {
  };
  action.sa_sigaction = &SignalHandler::on_signal;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  if (handles(options, SIGINT)) {
    sigaction(SIGINT, &action, &previous_sigint_);
  }
  if (handles(options, SIGTERM)) {
    sigaction(SIGTERM, &action, &previous_sigterm_);
  }
  stopping_ = false;
  thread_ = std::thread([this] { run_deferred_shutdowns(); });
  options_ = options;
  installed_ = true;
  return true;
}

bool SignalHandler::uninstall()
{
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!installed_) {
      return false;
    }
    if (handles(options_, SIGINT)) {
      sigaction(SIGINT, &previous_sigint_, nullptr);
    }
    if (handles(options_, SIGTERM)) {
      sigaction(SIGTERM, &previous_sigterm_, nullptr);
    }
    options_ = rclcpp::SignalHandlerOptions::None;
    installed_ = false;
    thread = std::move(thread_);
  }
  // Joined outside the lock: the thread may be in a shutdown callback that asks installed().
  stop_thread(thread);
  return true;
}

bool SignalHandler::installed() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return installed_;
}

rclcpp::SignalHandlerOptions SignalHandler::options() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return options_;
}

void SignalHandler::stop_thread(std::thread & thread)
{
  stopping_ = true;
  sem_post(&semaphore_);
  if (thread.get_id() == std::this_thread::get_id()) {
    // Uninstalled from a shutdown callback that this very thread runs: it ends by itself.
    thread.detach();
  } else if (thread.joinable()) {
    thread.join();
  }
}

void SignalHandler::on_signal(int signal_number, siginfo_t * info, void * context)
{
  SignalHandler & self = instance();
  sem_post(&self.semaphore_);
  // Like rclcpp, pass the signal on to a handler that was there before ours.
  chain(
    signal_number == SIGINT ? self.previous_sigint_ : self.previous_sigterm_, signal_number, info,
    context);
}

void SignalHandler::chain(
  const struct sigaction & previous, int signal_number, siginfo_t * info, void * context)
{
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction != nullptr) {
      previous.sa_sigaction(signal_number, info, context);
    }
  } else if (
    previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
    previous.sa_handler != nullptr) {
    previous.sa_handler(signal_number);
  }
}

void SignalHandler::run_deferred_shutdowns()
{
  for (;;) {
    while (sem_wait(&semaphore_) != 0 && errno == EINTR) {
    }
    if (stopping_) {
      return;
    }
    for (const auto & context : initialized_contexts()) {
      if (context->get_init_options().shutdown_on_signal) {
        context->shutdown("signal handler");
      }
    }
  }
}

}  // namespace ros2_standin
