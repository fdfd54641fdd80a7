#include "time_source.hpp"

#include <optional>

#include "clock_access.hpp"
#include "dds_endpoint.hpp"
#include "message_type_support_impl.hpp"
#include "node_state.hpp"
#include "rclcpp/qos.hpp"
#include "rosgraph_msgs/msg/clock.hpp"

namespace ros2_standin
{

namespace
{

struct ListenerDeleter
{
  void operator()(dds_listener_t * listener) const { dds_delete_listener(listener); }
};

}  // namespace

TimeSource::TimeSource(NodeState & node) : node_(node), clock_(node.clock)
{
  // Zero until the first message, as rclcpp; also refuses a clock that is not ROS time
  // before anything is created.
  ClockAccess::set_ros_time_override(*clock_, 0);
  const EndpointHandles handles = create_endpoint(
    node_, "/clock", rclcpp::ClockQoS(), get_message_type_support<rosgraph_msgs::msg::Clock>(),
    EndpointKind::Reader, false);
  generation_ = handles.generation;
  topic_ = handles.topic;
  reader_ = handles.endpoint;
  ClockAccess::enable_ros_time_override(*clock_);

  // Fails only when shutdown already took the reader; the clock then stays at zero, as it
  // would in rclcpp with nothing arriving.
  const std::unique_ptr<dds_listener_t, ListenerDeleter> listener(dds_create_listener(this));
  dds_lset_data_available(listener.get(), &TimeSource::on_data_available);
  dds_set_listener(reader_, listener.get());
  // What arrived between creating the reader and setting the listener.
  take_newest();
}

TimeSource::~TimeSource()
{
  // Cyclone waits for a listener call under way and makes no further one.
  delete_endpoint(node_, generation_, reader_, topic_);
  ClockAccess::disable_ros_time_override(*clock_);
}

void TimeSource::on_data_available(dds_entity_t reader, void * time_source)
{
  (void)reader;
  static_cast<TimeSource *>(time_source)->take_newest();
}

void TimeSource::take_newest() noexcept
{
  const MessageTypeSupport & type_support = get_message_type_support<rosgraph_msgs::msg::Clock>();
  std::lock_guard<std::mutex> lock(take_mutex_);
  std::optional<rcl_time_point_value_t> newest;
  rosgraph_msgs::msg::Clock message;
  // Errors (the reader deleted by shutdown) end the loop like an empty cache.
  while (type_support.take(reader_, &message) == 1) {
    // rclcpp cannot represent a negative time and would fail on it; skip such a message.
    if (message.clock.sec >= 0) {
      newest =
        RCL_S_TO_NS(static_cast<rcl_time_point_value_t>(message.clock.sec)) + message.clock.nanosec;
    }
  }
  if (newest) {
    ClockAccess::set_ros_time_override(*clock_, *newest);
  }
}

}  // namespace ros2_standin
