#ifndef RCLCPP__INIT_OPTIONS_HPP_
#define RCLCPP__INIT_OPTIONS_HPP_

#include <cstddef>

#include "rcl/domain_id.h"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

class RCLCPP_PUBLIC_TYPE InitOptions
{
public:
  // Whether the SIGINT/SIGTERM handler shuts this context down.
  bool shutdown_on_signal = true;

  RCLCPP_PUBLIC
  InitOptions();

  // Kept for rclcpp compatibility: the stand-in has no logging system to start.
  RCLCPP_PUBLIC
  bool auto_initialize_logging() const;

  RCLCPP_PUBLIC
  InitOptions & auto_initialize_logging(bool initialize_logging);

  // Overrides ROS_DOMAIN_ID for the context initialised with these options.
  RCLCPP_PUBLIC
  void set_domain_id(size_t domain_id);

  // The domain id set, else RCL_DEFAULT_DOMAIN_ID (meaning ROS_DOMAIN_ID, else 0).
  RCLCPP_PUBLIC
  size_t get_domain_id() const;

  RCLCPP_PUBLIC
  void use_default_domain_id();

private:
  bool initialize_logging_ = true;
  size_t domain_id_ = RCL_DEFAULT_DOMAIN_ID;
};

}  // namespace rclcpp

#endif  // RCLCPP__INIT_OPTIONS_HPP_
