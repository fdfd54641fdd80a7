#ifndef ROS2_STANDIN__SRC__DDS_QOS_HPP_
#define ROS2_STANDIN__SRC__DDS_QOS_HPP_

#include <dds/dds.h>

#include <memory>

#include "rclcpp/qos.hpp"
#include "ros2_standin/visibility_control.hpp"

// Internal; exported only so that the tests can inspect the mapping.
namespace ros2_standin
{

struct QosDeleter
{
  void operator()(dds_qos_t * qos) const { dds_delete_qos(qos); }
};
using QosPtr = std::unique_ptr<dds_qos_t, QosDeleter>;

// Topic QoS: only the XCDR1 data representation, which rmw_cyclonedds insists on.
ROS2_STANDIN_PUBLIC QosPtr make_topic_qos();

// Reader/writer QoS mapped as rmw_cyclonedds maps an rmw profile.
ROS2_STANDIN_PUBLIC QosPtr
make_endpoint_qos(const rclcpp::QoS & qos, bool ignore_local_publications = false);

}  // namespace ros2_standin

#endif  // ROS2_STANDIN__SRC__DDS_QOS_HPP_
