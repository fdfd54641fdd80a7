#ifndef RCLCPP__NODE_OPTIONS_HPP_
#define RCLCPP__NODE_OPTIONS_HPP_

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

class RCLCPP_PUBLIC_TYPE NodeOptions
{
public:
  RCLCPP_PUBLIC
  NodeOptions();

  RCLCPP_PUBLIC
  rclcpp::Context::SharedPtr context() const;

  RCLCPP_PUBLIC
  NodeOptions & context(rclcpp::Context::SharedPtr context);

  // Accepted for rclcpp compatibility; the stand-in has neither parameters nor rosout.
  RCLCPP_PUBLIC bool use_intra_process_comms() const;
  RCLCPP_PUBLIC NodeOptions & use_intra_process_comms(bool use_intra_process_comms);
  RCLCPP_PUBLIC bool start_parameter_services() const;
  RCLCPP_PUBLIC NodeOptions & start_parameter_services(bool start_parameter_services);
  RCLCPP_PUBLIC bool enable_rosout() const;
  RCLCPP_PUBLIC NodeOptions & enable_rosout(bool enable_rosout);

private:
  rclcpp::Context::SharedPtr context_;
  bool use_intra_process_comms_ = false;
  bool start_parameter_services_ = true;
  bool enable_rosout_ = true;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_OPTIONS_HPP_
