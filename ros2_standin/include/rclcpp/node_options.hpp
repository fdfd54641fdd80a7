#ifndef RCLCPP__NODE_OPTIONS_HPP_
#define RCLCPP__NODE_OPTIONS_HPP_

#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
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

  // The node's own command line, without a program name: only what follows "--ros-args" counts,
  // e.g. {"--ros-args", "-r", "__ns:=/robot", "-p", "rate:=5"}. Its rules come before the
  // context's; the node's constructor throws as rclcpp::init does for arguments it cannot parse.
  RCLCPP_PUBLIC const std::vector<std::string> & arguments() const;
  RCLCPP_PUBLIC NodeOptions & arguments(const std::vector<std::string> & arguments);

  // Values that override every other source when the node declares the parameter.
  RCLCPP_PUBLIC std::vector<rclcpp::Parameter> & parameter_overrides();
  RCLCPP_PUBLIC const std::vector<rclcpp::Parameter> & parameter_overrides() const;
  RCLCPP_PUBLIC NodeOptions & parameter_overrides(
    const std::vector<rclcpp::Parameter> & parameter_overrides);

  template <typename ParameterT>
  NodeOptions & append_parameter_override(const std::string & name, const ParameterT & value)
  {
    parameter_overrides().emplace_back(name, rclcpp::ParameterValue(value));
    return *this;
  }

  // Whether the node heeds the command line given to its context's init (default true).
  RCLCPP_PUBLIC bool use_global_arguments() const;
  RCLCPP_PUBLIC NodeOptions & use_global_arguments(bool use_global_arguments);

  // get_parameter of an undeclared name then gives an unset parameter instead of throwing.
  RCLCPP_PUBLIC bool allow_undeclared_parameters() const;
  RCLCPP_PUBLIC NodeOptions & allow_undeclared_parameters(bool allow_undeclared_parameters);

  // The node's constructor declares every overridden parameter, dynamically typed.
  RCLCPP_PUBLIC bool automatically_declare_parameters_from_overrides() const;
  RCLCPP_PUBLIC NodeOptions & automatically_declare_parameters_from_overrides(
    bool automatically_declare_parameters_from_overrides);

  // Accepted for rclcpp compatibility; the stand-in has neither parameter services nor rosout.
  RCLCPP_PUBLIC bool use_intra_process_comms() const;
  RCLCPP_PUBLIC NodeOptions & use_intra_process_comms(bool use_intra_process_comms);
  RCLCPP_PUBLIC bool start_parameter_services() const;
  RCLCPP_PUBLIC NodeOptions & start_parameter_services(bool start_parameter_services);
  RCLCPP_PUBLIC bool enable_rosout() const;
  RCLCPP_PUBLIC NodeOptions & enable_rosout(bool enable_rosout);

private:
  rclcpp::Context::SharedPtr context_;
  std::vector<std::string> arguments_;
  std::vector<rclcpp::Parameter> parameter_overrides_;
  bool use_global_arguments_ = true;
  bool allow_undeclared_parameters_ = false;
  bool automatically_declare_parameters_from_overrides_ = false;
  bool use_intra_process_comms_ = false;
  bool start_parameter_services_ = true;
  bool enable_rosout_ = true;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_OPTIONS_HPP_
