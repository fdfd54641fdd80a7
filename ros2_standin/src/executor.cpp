#include "rclcpp/executor.hpp"

#include <dds/dds.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "node_state.hpp"
#include "rclcpp/executors.hpp"
#include "rclcpp/executors/single_threaded_executor.hpp"
#include "rclcpp/node.hpp"
#include "subscription_access.hpp"

namespace ros2_standin
{

// A DDS entity deleted when its owner goes.
class EntityHandle
{
public:
  explicit EntityHandle(dds_entity_t handle) : handle_(handle) {}
  ~EntityHandle()
  {
    if (handle_ > 0) {
      dds_delete(handle_);
    }
  }
  EntityHandle(const EntityHandle &) = delete;
  EntityHandle & operator=(const EntityHandle &) = delete;
  dds_entity_t get() const { return handle_; }

private:
  dds_entity_t handle_;
};

struct ExecutorState
{
  // Owned by the library root so that conditions of any participant can join the wait.
  EntityHandle interrupt{dds_create_guardcondition(DDS_CYCLONEDDS_HANDLE)};
  rclcpp::OnShutdownCallbackHandle shutdown_callback;
  std::mutex mutex;
  std::vector<std::weak_ptr<rclcpp::Node>> nodes;

  std::vector<std::shared_ptr<rclcpp::SubscriptionBase>> subscriptions()
  {
    std::vector<std::shared_ptr<rclcpp::Node>> live_nodes;
    {
      std::lock_guard<std::mutex> lock(mutex);
      for (const auto & weak : nodes) {
        if (auto node = weak.lock()) {
          live_nodes.push_back(std::move(node));
        }
      }
    }
    std::vector<std::shared_ptr<rclcpp::SubscriptionBase>> all;
    for (const auto & node : live_nodes) {
      auto of_node = NodeAccess::state(*node)->live_subscriptions();
      all.insert(all.end(), of_node.begin(), of_node.end());
    }
    return all;
  }

  void wake() { dds_set_guardcondition(interrupt.get(), true); }
};

}  // namespace ros2_standin

namespace rclcpp
{

using ros2_standin::NodeAccess;
using ros2_standin::SubscriptionAccess;

Executor::Executor(const rclcpp::ExecutorOptions & options)
: spinning(false)
, context_(options.context ? options.context : contexts::get_global_default_context())
, state_(std::make_unique<ros2_standin::ExecutorState>())
{
  if (state_->interrupt.get() < 0) {
    throw std::runtime_error(
      std::string("failed to create interrupt guard condition: ") +
      dds_strretcode(state_->interrupt.get()));
  }
  // Shutdown must wake a spin that waits for data.
  const dds_entity_t interrupt = state_->interrupt.get();
  state_->shutdown_callback =
    context_->add_on_shutdown_callback([interrupt] { dds_set_guardcondition(interrupt, true); });
}

Executor::~Executor()
{
  context_->remove_on_shutdown_callback(state_->shutdown_callback);
  std::lock_guard<std::mutex> lock(state_->mutex);
  for (const auto & weak : state_->nodes) {
    if (auto node = weak.lock()) {
      NodeAccess::state(*node)->in_executor = false;
    }
  }
}

void Executor::add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  if (NodeAccess::state(*node_ptr)->in_executor.exchange(true)) {
    throw std::runtime_error(
      std::string("Node '") + node_ptr->get_fully_qualified_name() +
      "' has already been added to an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->nodes.push_back(node_ptr);
  }
  if (notify) {
    state_->wake();
  }
}

void Executor::remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  bool found = false;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto & nodes = state_->nodes;
    const auto end = std::remove_if(
      nodes.begin(), nodes.end(), [&node_ptr, &found](const std::weak_ptr<Node> & weak) {
        const auto node = weak.lock();
        const bool match = !node || node == node_ptr;
        found = found || node == node_ptr;
        return match;
      });
    nodes.erase(end, nodes.end());
  }
  if (!found) {
    throw std::runtime_error("Node needs to be associated with this executor.");
  }
  NodeAccess::state(*node_ptr)->in_executor = false;
  if (notify) {
    state_->wake();
  }
}

void Executor::spin_node_some(std::shared_ptr<rclcpp::Node> node)
{
  add_node(node, false);
  try {
    spin_some();
  } catch (...) {
    remove_node(node, false);
    throw;
  }
  remove_node(node, false);
}

void Executor::spin_node_once_nanoseconds(
  std::shared_ptr<rclcpp::Node> node, std::chrono::nanoseconds timeout)
{
  add_node(node, false);
  try {
    spin_once(timeout);
  } catch (...) {
    remove_node(node, false);
    throw;
  }
  remove_node(node, false);
}

void Executor::spin_some(std::chrono::nanoseconds max_duration)
{
  SpinGuard guard(*this, "spin_some() called while already spinning");
  const auto start = std::chrono::steady_clock::now();
  // What is ready now, one message per subscription, as rclcpp's non-exhaustive spin_some.
  for (const auto & subscription : state_->subscriptions()) {
    if (!rclcpp::ok(context_) || !spinning.load()) {
      break;
    }
    SubscriptionAccess::take_and_dispatch(*subscription);
    if (
      max_duration > std::chrono::nanoseconds::zero() &&
      std::chrono::steady_clock::now() - start >= max_duration) {
      break;
    }
  }
}

void Executor::spin_all(std::chrono::nanoseconds max_duration)
{
  if (max_duration <= std::chrono::nanoseconds::zero()) {
    throw std::invalid_argument("max_duration must be positive");
  }
  SpinGuard guard(*this, "spin_all() called while already spinning");
  const auto start = std::chrono::steady_clock::now();
  bool executed = true;
  while (executed && rclcpp::ok(context_) && spinning.load() &&
         std::chrono::steady_clock::now() - start < max_duration) {
    executed = false;
    for (const auto & subscription : state_->subscriptions()) {
      executed = SubscriptionAccess::take_and_dispatch(*subscription) || executed;
    }
  }
}

void Executor::spin_once(std::chrono::nanoseconds timeout)
{
  SpinGuard guard(*this, "spin_once() called while already spinning");
  wait_and_execute_one(timeout);
}

void Executor::cancel()
{
  spinning.store(false);
  state_->wake();
}

bool Executor::is_spinning() { return spinning.load(); }

Executor::SpinGuard::SpinGuard(Executor & executor, const char * message) : executor_(executor)
{
  if (executor_.spinning.exchange(true)) {
    throw std::runtime_error(message);
  }
}

Executor::SpinGuard::~SpinGuard() { executor_.spinning.store(false); }

bool Executor::wait_and_execute_one(std::chrono::nanoseconds timeout)
{
  if (!rclcpp::ok(context_)) {
    return false;  // nothing would ever wake a wait on a dead context
  }
  const auto subscriptions = state_->subscriptions();
  // Data ready already needs no wait.
  for (const auto & subscription : subscriptions) {
    if (SubscriptionAccess::take_and_dispatch(*subscription)) {
      return true;
    }
  }

  ros2_standin::EntityHandle waitset(dds_create_waitset(DDS_CYCLONEDDS_HANDLE));
  if (waitset.get() < 0) {
    throw std::runtime_error(
      std::string("failed to create wait set: ") + dds_strretcode(waitset.get()));
  }
  const dds_entity_t interrupt = state_->interrupt.get();
  dds_waitset_attach(waitset.get(), interrupt, 0);
  for (size_t i = 0; i < subscriptions.size(); ++i) {
    // Fails only for a reader that shutdown deleted a moment ago: nothing to wait for there.
    dds_waitset_attach(
      waitset.get(), SubscriptionAccess::read_condition(*subscriptions[i]),
      static_cast<dds_attach_t>(i + 1));
  }

  std::vector<dds_attach_t> triggered(subscriptions.size() + 1);
  const dds_duration_t dds_timeout = timeout.count() < 0 ? DDS_INFINITY : timeout.count();
  const dds_return_t count =
    dds_waitset_wait(waitset.get(), triggered.data(), triggered.size(), dds_timeout);
  bool interrupted = false;
  dds_take_guardcondition(interrupt, &interrupted);

  for (dds_return_t i = 0; i < count; ++i) {
    const dds_attach_t index = triggered[static_cast<size_t>(i)];
    if (index > 0 && SubscriptionAccess::take_and_dispatch(*subscriptions[index - 1])) {
      return true;
    }
  }
  return false;
}

std::string to_string(const FutureReturnCode & future_return_code)
{
  switch (future_return_code) {
    case FutureReturnCode::SUCCESS:
      return "SUCCESS (0)";
    case FutureReturnCode::INTERRUPTED:
      return "INTERRUPTED (1)";
    case FutureReturnCode::TIMEOUT:
      return "TIMEOUT (2)";
  }
  return "UNKNOWN";
}

namespace executors
{

SingleThreadedExecutor::SingleThreadedExecutor(const rclcpp::ExecutorOptions & options)
: rclcpp::Executor(options)
{
}

SingleThreadedExecutor::~SingleThreadedExecutor() = default;

void SingleThreadedExecutor::spin()
{
  SpinGuard guard(*this, "spin() called while already spinning");
  while (rclcpp::ok(context_) && spinning.load()) {
    wait_and_execute_one(std::chrono::nanoseconds(-1));
  }
}

}  // namespace executors

namespace
{

ExecutorOptions options_for(const Node::SharedPtr & node)
{
  ExecutorOptions options;
  options.context = NodeAccess::state(*node)->context;
  return options;
}

}  // namespace

void spin_some(Node::SharedPtr node_ptr)
{
  executors::SingleThreadedExecutor executor(options_for(node_ptr));
  executor.spin_node_some(node_ptr);
}

void spin(Node::SharedPtr node_ptr)
{
  executors::SingleThreadedExecutor executor(options_for(node_ptr));
  executor.add_node(node_ptr);
  executor.spin();
  executor.remove_node(node_ptr);
}

}  // namespace rclcpp
