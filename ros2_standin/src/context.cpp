#include "rclcpp/context.hpp"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "context_state.hpp"
#include "dds_config.hpp"
#include "participant.hpp"
#include "rcl_errors.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/exceptions/exceptions.hpp"
#include "ros_arguments.hpp"

namespace ros2_standin
{

namespace
{

std::mutex & registry_mutex()
{
  static std::mutex mutex;
  return mutex;
}

std::vector<std::weak_ptr<rclcpp::Context>> & registry()
{
  static std::vector<std::weak_ptr<rclcpp::Context>> contexts;
  return contexts;
}

void remember_initialized(const std::weak_ptr<rclcpp::Context> & context)
{
  if (context.expired()) {
    return;  // not owned by a shared_ptr: out of the signal handler's reach, as in rclcpp
  }
  std::lock_guard<std::mutex> lock(registry_mutex());
  auto & contexts = registry();
  contexts.erase(
    std::remove_if(
      contexts.begin(), contexts.end(),
      [&context](const std::weak_ptr<rclcpp::Context> & known) {
        return known.expired() || !(known.owner_before(context) || context.owner_before(known));
      }),
    contexts.end());
  contexts.push_back(context);
}

uint32_t resolve_domain_id(const rclcpp::InitOptions & options)
{
  const size_t requested = options.get_domain_id();
  if (requested == RCL_DEFAULT_DOMAIN_ID) {
    try {
      return domain_id_from_environment();
    } catch (const std::invalid_argument & error) {
      throw_rcl_error(RCL_RET_ERROR, "failed to initialize rcl", error.what());
    }
  }
  if (requested > 232) {
    throw_rcl_error(
      RCL_RET_INVALID_ARGUMENT, "failed to initialize rcl",
      "domain id " + std::to_string(requested) + " is out of range");
  }
  return static_cast<uint32_t>(requested);
}

}  // namespace

std::vector<std::shared_ptr<rclcpp::Context>> initialized_contexts()
{
  std::lock_guard<std::mutex> lock(registry_mutex());
  std::vector<std::shared_ptr<rclcpp::Context>> alive;
  for (const auto & weak : registry()) {
    if (auto context = weak.lock()) {
      alive.push_back(std::move(context));
    }
  }
  return alive;
}

}  // namespace ros2_standin

namespace rclcpp
{

using ros2_standin::ContextState;

Context::Context() : state_(std::make_shared<ContextState>()) {}

Context::~Context()
{
  // As rclcpp: a context destroyed while valid shuts itself down, releasing the participant.
  if (is_valid()) {
    // Only the base class part is left here; call it non-virtually.
    Context::shutdown("context destructor was called while still not shutdown");
  }
}

void Context::init(int argc, char const * const * argv, const rclcpp::InitOptions & init_options)
{
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->valid) {
      throw rclcpp::ContextAlreadyInitialized();
    }
    const std::string failure = "failed to initialize rcl";
    auto arguments = std::make_shared<const ros2_standin::RosArguments>(
      ros2_standin::parse_ros_arguments(ros2_standin::argument_list(argc, argv, failure), failure));
    if (!arguments->unknown_ros_arguments.empty()) {
      auto unknown = arguments->unknown_ros_arguments;
      throw rclcpp::exceptions::UnknownROSArgsError(std::move(unknown));
    }
    const uint32_t domain_id = ros2_standin::resolve_domain_id(init_options);
    state_->dds = ros2_standin::create_participant(domain_id);
    state_->domain_id = domain_id;
    state_->init_options = init_options;
    state_->global_arguments = std::move(arguments);
    state_->ever_initialized = true;
    state_->valid = true;
    state_->shutdown_reason.clear();
    ++state_->generation;
  }
  ros2_standin::remember_initialized(weak_from_this());
}

bool Context::is_valid() const
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->valid;
}

const rclcpp::InitOptions & Context::get_init_options() const { return state_->init_options; }

rclcpp::InitOptions Context::get_init_options()
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->init_options;
}

size_t Context::get_domain_id() const
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->domain_id;
}

std::string Context::shutdown_reason() const
{
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->shutdown_reason;
}

bool Context::shutdown(const std::string & reason)
{
  std::vector<std::shared_ptr<OnShutdownCallback>> callbacks;
  {
    // Waits for a graph update under way, which writes with the participant's writer.
    std::lock_guard<std::mutex> discovery(state_->discovery_mutex);
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->valid) {
      return false;
    }
    state_->valid = false;
    state_->shutdown_reason = reason;
    // Deleting the participant deletes every topic, reader and writer of this context;
    // publishers that still exist see their context invalid and drop messages quietly.
    ros2_standin::delete_participant(state_->dds);
    state_->dds = ros2_standin::ParticipantHandles{};
    if (state_->graph_change_notifier) {
      state_->graph_change_notifier->notify_all();
      state_->graph_change_notifier.reset();
    }
    state_->graph.clear();
    callbacks = state_->on_shutdown_callbacks;
  }
  // Outside the lock: callbacks may query this context.
  for (const auto & callback : callbacks) {
    (*callback)();
  }
  interrupt_all_sleep_for();
  return true;
}

Context::OnShutdownCallback Context::on_shutdown(OnShutdownCallback callback)
{
  add_on_shutdown_callback(callback);
  return callback;
}

OnShutdownCallbackHandle Context::add_on_shutdown_callback(OnShutdownCallback callback)
{
  auto stored = std::make_shared<OnShutdownCallback>(std::move(callback));
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->on_shutdown_callbacks.push_back(stored);
  }
  OnShutdownCallbackHandle handle;
  handle.callback = stored;
  return handle;
}

bool Context::remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle)
{
  const auto target = callback_handle.callback.lock();
  if (!target) {
    return false;
  }
  std::lock_guard<std::mutex> lock(state_->mutex);
  auto & callbacks = state_->on_shutdown_callbacks;
  const auto found = std::find(callbacks.begin(), callbacks.end(), target);
  if (found == callbacks.end()) {
    return false;
  }
  callbacks.erase(found);
  return true;
}

bool Context::sleep_for(const std::chrono::nanoseconds & nanoseconds)
{
  const auto deadline = std::chrono::steady_clock::now() + nanoseconds;
  std::unique_lock<std::mutex> lock(state_->mutex);
  if (!state_->valid) {
    return false;  // already shut down: nothing left to wait for
  }
  const uint64_t interruptions = state_->sleep_interruptions;
  state_->sleep_condition.wait_until(
    lock, deadline, [this, interruptions] { return state_->sleep_interruptions != interruptions; });
  return state_->sleep_interruptions == interruptions && state_->valid;
}

void Context::interrupt_all_sleep_for()
{
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    ++state_->sleep_interruptions;
  }
  state_->sleep_condition.notify_all();
}

namespace contexts
{

DefaultContext::DefaultContext() = default;

DefaultContext::SharedPtr get_global_default_context()
{
  static DefaultContext::SharedPtr default_context = DefaultContext::make_shared();
  return default_context;
}

}  // namespace contexts

}  // namespace rclcpp
