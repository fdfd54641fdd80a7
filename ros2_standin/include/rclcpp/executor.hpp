#ifndef RCLCPP__EXECUTOR_HPP_
#define RCLCPP__EXECUTOR_HPP_

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>

#include "rclcpp/context.hpp"
#include "rclcpp/executor_options.hpp"
#include "rclcpp/future_return_code.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/utilities.hpp"
#include "rclcpp/visibility_control.hpp"

namespace ros2_standin
{
struct ExecutorState;
}  // namespace ros2_standin

namespace rclcpp
{

class Node;

// Runs the subscription callbacks of its nodes on the calling thread. Wakes on incoming data,
// on cancel() and on shutdown of its context.
class RCLCPP_PUBLIC_TYPE Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(Executor)

  RCLCPP_PUBLIC
  explicit Executor(const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions());

  RCLCPP_PUBLIC
  virtual ~Executor();

  virtual void spin() = 0;

  // Throws std::runtime_error when the node already belongs to an executor.
  RCLCPP_PUBLIC
  virtual void add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);

  RCLCPP_PUBLIC
  virtual void remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);

  template <typename RepT = int64_t, typename T = std::milli>
  void spin_node_once(
    std::shared_ptr<rclcpp::Node> node,
    std::chrono::duration<RepT, T> timeout = std::chrono::duration<RepT, T>(-1))
  {
    spin_node_once_nanoseconds(
      std::move(node), std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

  RCLCPP_PUBLIC
  void spin_node_some(std::shared_ptr<rclcpp::Node> node);

  // Executes what is ready now, at most one message per subscription, without waiting.
  RCLCPP_PUBLIC
  virtual void spin_some(std::chrono::nanoseconds max_duration = std::chrono::nanoseconds(0));

  // Executes until nothing is ready or max_duration (> 0) has passed.
  RCLCPP_PUBLIC
  virtual void spin_all(std::chrono::nanoseconds max_duration);

  // Waits up to `timeout` (negative: without limit) and executes one message.
  RCLCPP_PUBLIC
  virtual void spin_once(std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));

  template <typename FutureT, typename TimeRepT = int64_t, typename TimeT = std::milli>
  FutureReturnCode spin_until_future_complete(
    const FutureT & future,
    std::chrono::duration<TimeRepT, TimeT> timeout = std::chrono::duration<TimeRepT, TimeT>(-1))
  {
    if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
      return FutureReturnCode::SUCCESS;
    }
    const auto timeout_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    const auto end_time = std::chrono::steady_clock::now() + timeout_ns;
    SpinGuard guard(*this, "spin_until_future_complete() called while already spinning");
    auto timeout_left = timeout_ns;
    while (rclcpp::ok(context_) && spinning.load()) {
      wait_and_execute_one(timeout_left);
      if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        return FutureReturnCode::SUCCESS;
      }
      if (timeout_ns < std::chrono::nanoseconds::zero()) {
        continue;
      }
      const auto now = std::chrono::steady_clock::now();
      if (now >= end_time) {
        return FutureReturnCode::TIMEOUT;
      }
      timeout_left = end_time - now;
    }
    return FutureReturnCode::INTERRUPTED;
  }

  // Makes spin() and friends return; thread-safe.
  RCLCPP_PUBLIC
  void cancel();

  RCLCPP_PUBLIC
  bool is_spinning();

protected:
  // Marks the executor spinning for a scope; throws std::runtime_error(message) if it was.
  class RCLCPP_PUBLIC_TYPE SpinGuard
  {
  public:
    RCLCPP_PUBLIC SpinGuard(Executor & executor, const char * message);
    RCLCPP_PUBLIC ~SpinGuard();
    SpinGuard(const SpinGuard &) = delete;
    SpinGuard & operator=(const SpinGuard &) = delete;

  private:
    Executor & executor_;
  };

  // Waits up to `timeout` for work and executes one message; false when there was none.
  RCLCPP_PUBLIC
  bool wait_and_execute_one(std::chrono::nanoseconds timeout);

  RCLCPP_PUBLIC
  void spin_node_once_nanoseconds(
    std::shared_ptr<rclcpp::Node> node, std::chrono::nanoseconds timeout);

  std::atomic_bool spinning;
  rclcpp::Context::SharedPtr context_;

private:
  std::unique_ptr<ros2_standin::ExecutorState> state_;
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_HPP_
