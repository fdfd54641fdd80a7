#include "dds_qos.hpp"

#include <cstdint>
#include <limits>

namespace ros2_standin
{

namespace
{

void set_data_representation(dds_qos_t * qos)
{
  // rmw_cyclonedds reads XCDR1 only.
  const dds_data_representation_id_t xcdr1 = DDS_DATA_REPRESENTATION_XCDR1;
  dds_qset_data_representation(qos, 1, &xcdr1);
}

int32_t history_depth(size_t depth)
{
  // Depth 0 is rmw's "system default", which is keep-last 1 for Cyclone.
  if (depth == 0) {
    return 1;
  }
  return depth > static_cast<size_t>(std::numeric_limits<int32_t>::max())
           ? std::numeric_limits<int32_t>::max()
           : static_cast<int32_t>(depth);
}

}  // namespace

QosPtr make_topic_qos()
{
  QosPtr qos(dds_create_qos());
  set_data_representation(qos.get());
  return qos;
}

QosPtr make_endpoint_qos(const rclcpp::QoS & profile, bool ignore_local_publications)
{
  QosPtr qos(dds_create_qos());
  dds_qos_t * q = qos.get();

  switch (profile.history()) {
    case rclcpp::HistoryPolicy::KeepAll:
      dds_qset_history(q, DDS_HISTORY_KEEP_ALL, DDS_LENGTH_UNLIMITED);
      break;
    case rclcpp::HistoryPolicy::KeepLast:
      dds_qset_history(q, DDS_HISTORY_KEEP_LAST, history_depth(profile.depth()));
      break;
    default:
      dds_qset_history(q, DDS_HISTORY_KEEP_LAST, 1);
      break;
  }

  switch (profile.reliability()) {
    case rclcpp::ReliabilityPolicy::BestEffort:
      dds_qset_reliability(q, DDS_RELIABILITY_BEST_EFFORT, 0);
      break;
    default:
      dds_qset_reliability(q, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
      break;
  }

  switch (profile.durability()) {
    case rclcpp::DurabilityPolicy::TransientLocal:
      dds_qset_durability(q, DDS_DURABILITY_TRANSIENT_LOCAL);
      break;
    default:
      dds_qset_durability(q, DDS_DURABILITY_VOLATILE);
      break;
  }

  if (profile.liveliness() == rclcpp::LivelinessPolicy::ManualByTopic) {
    dds_qset_liveliness(q, DDS_LIVELINESS_MANUAL_BY_TOPIC, DDS_INFINITY);
  } else {
    dds_qset_liveliness(q, DDS_LIVELINESS_AUTOMATIC, DDS_INFINITY);
  }

  // As rmw_cyclonedds: unregistering an instance must not dispose it for late readers.
  dds_qset_writer_data_lifecycle(q, false);
  if (ignore_local_publications) {
    dds_qset_ignorelocal(q, DDS_IGNORELOCAL_PARTICIPANT);
  }
  set_data_representation(q);
  return qos;
}

}  // namespace ros2_standin
