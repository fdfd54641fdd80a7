#include <dds/dds.h>
#include <gtest/gtest.h>

#include "dds_qos.hpp"
#include "rclcpp/qos.hpp"

namespace
{

struct EndpointQos
{
  dds_history_kind_t history = DDS_HISTORY_KEEP_ALL;
  int32_t depth = -1;
  dds_reliability_kind_t reliability = DDS_RELIABILITY_BEST_EFFORT;
  dds_duration_t max_blocking = 0;
  dds_durability_kind_t durability = DDS_DURABILITY_PERSISTENT;
  dds_liveliness_kind_t liveliness = DDS_LIVELINESS_MANUAL_BY_TOPIC;
  dds_duration_t lease = 0;
  uint32_t representations = 0;
  dds_data_representation_id_t representation = -1;
};

EndpointQos inspect(const dds_qos_t * qos)
{
  EndpointQos result;
  EXPECT_TRUE(dds_qget_history(qos, &result.history, &result.depth));
  EXPECT_TRUE(dds_qget_reliability(qos, &result.reliability, &result.max_blocking));
  EXPECT_TRUE(dds_qget_durability(qos, &result.durability));
  EXPECT_TRUE(dds_qget_liveliness(qos, &result.liveliness, &result.lease));
  dds_data_representation_id_t * ids = nullptr;
  EXPECT_TRUE(dds_qget_data_representation(qos, &result.representations, &ids));
  if (result.representations > 0) {
    result.representation = ids[0];
  }
  dds_free(ids);
  return result;
}

}  // namespace

TEST(QoS, DepthConstructorIsKeepLastReliableVolatile)
{
  const rclcpp::QoS qos(10);
  EXPECT_EQ(qos.history(), rclcpp::HistoryPolicy::KeepLast);
  EXPECT_EQ(qos.depth(), 10u);
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::Reliable);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::Volatile);
  EXPECT_EQ(qos.liveliness(), rclcpp::LivelinessPolicy::Automatic);
  EXPECT_EQ(qos, rclcpp::QoS(rclcpp::KeepLast(10)));
}

TEST(QoS, SettersChangeOnlyTheirPolicy)
{
  rclcpp::QoS qos(10);
  qos.best_effort().transient_local().keep_last(3);
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::TransientLocal);
  EXPECT_EQ(qos.depth(), 3u);
  qos.reliable().durability_volatile().keep_all();
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::Reliable);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::Volatile);
  EXPECT_EQ(qos.history(), rclcpp::HistoryPolicy::KeepAll);
  EXPECT_NE(qos, rclcpp::QoS(10));
}

TEST(QoS, SensorDataIsBestEffortDepthFive)
{
  const rclcpp::SensorDataQoS qos;
  EXPECT_EQ(qos.depth(), 5u);
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::BestEffort);
}

TEST(QoS, ClockKeepsOnlyTheNewestTimeBestEffort)
{
  const rclcpp::ClockQoS qos;
  EXPECT_EQ(qos.history(), rclcpp::HistoryPolicy::KeepLast);
  EXPECT_EQ(qos.depth(), 1u);
  EXPECT_EQ(qos.reliability(), rclcpp::ReliabilityPolicy::BestEffort);
  EXPECT_EQ(qos.durability(), rclcpp::DurabilityPolicy::Volatile);
  // rclcpp builds it on the sensor data profile; only the depth differs.
  EXPECT_EQ(qos, rclcpp::SensorDataQoS(rclcpp::KeepLast(1)));
  EXPECT_EQ(rclcpp::ClockQoS(rclcpp::KeepLast(3)).depth(), 3u);

  const EndpointQos mapped = inspect(ros2_standin::make_endpoint_qos(qos).get());
  EXPECT_EQ(mapped.history, DDS_HISTORY_KEEP_LAST);
  EXPECT_EQ(mapped.depth, 1);
  EXPECT_EQ(mapped.reliability, DDS_RELIABILITY_BEST_EFFORT);
  EXPECT_EQ(mapped.durability, DDS_DURABILITY_VOLATILE);
}

TEST(DdsQos, DefaultProfileMapsAsRmwCycloneddsDoes)
{
  const auto qos = ros2_standin::make_endpoint_qos(rclcpp::QoS(10));
  const EndpointQos mapped = inspect(qos.get());
  EXPECT_EQ(mapped.history, DDS_HISTORY_KEEP_LAST);
  EXPECT_EQ(mapped.depth, 10);
  EXPECT_EQ(mapped.reliability, DDS_RELIABILITY_RELIABLE);
  EXPECT_EQ(mapped.max_blocking, DDS_INFINITY);
  EXPECT_EQ(mapped.durability, DDS_DURABILITY_VOLATILE);
  EXPECT_EQ(mapped.liveliness, DDS_LIVELINESS_AUTOMATIC);
  EXPECT_EQ(mapped.lease, DDS_INFINITY);
  EXPECT_EQ(mapped.representations, 1u);
  EXPECT_EQ(mapped.representation, DDS_DATA_REPRESENTATION_XCDR1);
}

TEST(DdsQos, OtherPoliciesMap)
{
  const auto qos =
    ros2_standin::make_endpoint_qos(rclcpp::QoS(rclcpp::KeepAll()).best_effort().transient_local());
  const EndpointQos mapped = inspect(qos.get());
  EXPECT_EQ(mapped.history, DDS_HISTORY_KEEP_ALL);
  EXPECT_EQ(mapped.reliability, DDS_RELIABILITY_BEST_EFFORT);
  EXPECT_EQ(mapped.durability, DDS_DURABILITY_TRANSIENT_LOCAL);
}

TEST(DdsQos, DepthZeroMeansSystemDefaultDepthOne)
{
  const auto qos = ros2_standin::make_endpoint_qos(rclcpp::QoS(0));
  EXPECT_EQ(inspect(qos.get()).depth, 1);
}

TEST(DdsQos, TopicsUseXcdr1Only)
{
  const auto qos = ros2_standin::make_topic_qos();
  uint32_t count = 0;
  dds_data_representation_id_t * ids = nullptr;
  ASSERT_TRUE(dds_qget_data_representation(qos.get(), &count, &ids));
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(ids[0], DDS_DATA_REPRESENTATION_XCDR1);
  dds_free(ids);
}
