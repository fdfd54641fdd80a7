#ifndef RCLCPP__CONTEXT_HPP_
#define RCLCPP__CONTEXT_HPP_

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "rclcpp/init_options.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace ros2_standin
{
struct ContextState;
struct ContextAccess;
}  // namespace ros2_standin

namespace rclcpp
{

class RCLCPP_PUBLIC_TYPE ContextAlreadyInitialized : public std::runtime_error
{
public:
  ContextAlreadyInitialized() : std::runtime_error("context is already initialized") {}
};

class Context;

struct RCLCPP_PUBLIC_TYPE OnShutdownCallbackHandle
{
  friend class Context;

public:
  using OnShutdownCallbackType = std::function<void()>;

private:
  std::weak_ptr<OnShutdownCallbackType> callback;
};

// One initialisation of the client library: owns the DDS participant between init() and
// shutdown(). A context shut down may be initialised again.
class RCLCPP_PUBLIC_TYPE Context : public std::enable_shared_from_this<Context>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Context)

  RCLCPP_PUBLIC
  Context();

  RCLCPP_PUBLIC
  virtual ~Context();

  // Takes the ROS arguments of argv (see rclcpp::NodeOptions::use_global_arguments). Throws
  // rclcpp::ContextAlreadyInitialized when already valid, as rclcpp does
  // exceptions::RCLInvalidROSArgsError for a ROS argument that does not parse (a parameter file
  // that cannot be read or parsed among them) and exceptions::UnknownROSArgsError for arguments
  // after --ros-args that are none of ROS's.
  RCLCPP_PUBLIC
  virtual void init(
    int argc, char const * const * argv,
    const rclcpp::InitOptions & init_options = rclcpp::InitOptions());

  RCLCPP_PUBLIC
  bool is_valid() const;

  RCLCPP_PUBLIC
  const rclcpp::InitOptions & get_init_options() const;

  RCLCPP_PUBLIC
  rclcpp::InitOptions get_init_options();

  RCLCPP_PUBLIC
  size_t get_domain_id() const;

  RCLCPP_PUBLIC
  std::string shutdown_reason() const;

  // Returns false when the context was not valid.
  RCLCPP_PUBLIC
  virtual bool shutdown(const std::string & reason);

  using OnShutdownCallback = OnShutdownCallbackHandle::OnShutdownCallbackType;

  RCLCPP_PUBLIC
  virtual OnShutdownCallback on_shutdown(OnShutdownCallback callback);

  RCLCPP_PUBLIC
  virtual OnShutdownCallbackHandle add_on_shutdown_callback(OnShutdownCallback callback);

  RCLCPP_PUBLIC
  virtual bool remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle);

  // True when the time passed; false when shutdown interrupted it or had happened already.
  RCLCPP_PUBLIC
  bool sleep_for(const std::chrono::nanoseconds & nanoseconds);

  RCLCPP_PUBLIC
  virtual void interrupt_all_sleep_for();

private:
  RCLCPP_DISABLE_COPY(Context)

  friend struct ros2_standin::ContextAccess;
  std::shared_ptr<ros2_standin::ContextState> state_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CONTEXT_HPP_
