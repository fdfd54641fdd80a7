#include "rclcpp/node_options.hpp"

namespace rclcpp
{

NodeOptions::NodeOptions() : context_(contexts::get_global_default_context()) {}

Context::SharedPtr NodeOptions::context() const { return context_; }

NodeOptions & NodeOptions::context(Context::SharedPtr context)
{
  context_ = std::move(context);
  return *this;
}

bool NodeOptions::use_intra_process_comms() const { return use_intra_process_comms_; }

NodeOptions & NodeOptions::use_intra_process_comms(bool use_intra_process_comms)
{
  use_intra_process_comms_ = use_intra_process_comms;
  return *this;
}

bool NodeOptions::start_parameter_services() const { return start_parameter_services_; }

NodeOptions & NodeOptions::start_parameter_services(bool start_parameter_services)
{
  start_parameter_services_ = start_parameter_services;
  return *this;
}

bool NodeOptions::enable_rosout() const { return enable_rosout_; }

NodeOptions & NodeOptions::enable_rosout(bool enable_rosout)
{
  enable_rosout_ = enable_rosout;
  return *this;
}

}  // namespace rclcpp
