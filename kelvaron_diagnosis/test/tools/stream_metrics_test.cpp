// The Prometheus families made of one health snapshot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stream_metrics.hpp"

namespace
{

using prometheus::ClientMetric;
using prometheus::MetricFamily;
using prometheus::MetricType;

const MetricFamily * family(const std::vector<MetricFamily> & families, const std::string & name)
{
  for (const MetricFamily & candidate : families) {
    if (candidate.name == name) {
      return &candidate;
    }
  }
  return nullptr;
}

const ClientMetric * sampleOf(const MetricFamily * from, const std::string & label_value)
{
  if (from == nullptr) {
    return nullptr;
  }
  for (const ClientMetric & metric : from->metric) {
    if (metric.label.size() == 1 && metric.label[0].value == label_value) {
      return &metric;
    }
  }
  return nullptr;
}

kelvaron::HealthSnapshot twoStreams()
{
  kelvaron::HealthSnapshot snapshot;
  kelvaron::StreamSnapshot lidar;
  lidar.topic = "/robot1/scan";
  lidar.level = 1;
  lidar.frames_in_last_second = 9;
  lidar.normal_hz = 15.0;
  lidar.low_limit_hz = 9.0;
  lidar.since_last_frame_ms = 1250;
  lidar.header_age_ms = 40;
  lidar.frames_total = 1234;
  lidar.timeouts_total = 2;
  lidar.low_rate_spells_total = 3;
  kelvaron::StreamSnapshot silent;
  silent.topic = "/scan_02";
  silent.level = 3;
  silent.normal_hz = 15.0;
  silent.low_limit_hz = 9.0;
  snapshot.streams = {lidar, silent};
  snapshot.data_statuses = {{"LOCALIZATION_LOST_STATUS", 1}};
  return snapshot;
}

TEST(StreamMetrics, EachStreamIsOneSampleLabelledByItsTopic)
{
  const std::vector<MetricFamily> families =
    kelvaron::diag_node::streamMetricFamilies(twoStreams(), "0.1.0");
  const MetricFamily * level = family(families, "kelvaron_stream_level");
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->type, MetricType::Gauge);
  ASSERT_EQ(level->metric.size(), 2U);
  EXPECT_EQ(level->metric[0].label[0].name, "topic");
  EXPECT_EQ(sampleOf(level, "/robot1/scan")->gauge.value, 1.0);
  EXPECT_EQ(sampleOf(level, "/scan_02")->gauge.value, 3.0);
  EXPECT_EQ(
    sampleOf(family(families, "kelvaron_stream_frame_rate_hertz"), "/robot1/scan")->gauge.value,
    9.0);
  EXPECT_EQ(
    sampleOf(family(families, "kelvaron_stream_low_limit_hertz"), "/scan_02")->gauge.value, 9.0);
  EXPECT_DOUBLE_EQ(
    sampleOf(family(families, "kelvaron_stream_last_frame_age_seconds"), "/robot1/scan")
      ->gauge.value,
    1.25);
  EXPECT_DOUBLE_EQ(
    sampleOf(family(families, "kelvaron_stream_header_age_seconds"), "/robot1/scan")->gauge.value,
    0.04);
}

TEST(StreamMetrics, TotalsAreCountersAndAbsentValuesHaveNoSample)
{
  const std::vector<MetricFamily> families =
    kelvaron::diag_node::streamMetricFamilies(twoStreams(), "0.1.0");
  for (const char * name :
       {"kelvaron_stream_frames_total", "kelvaron_stream_timeouts_total",
        "kelvaron_stream_low_rate_spells_total"}) {
    const MetricFamily * totals = family(families, name);
    ASSERT_NE(totals, nullptr) << name;
    EXPECT_EQ(totals->type, MetricType::Counter) << name;
    EXPECT_EQ(totals->metric.size(), 2U) << name;
  }
  EXPECT_EQ(
    sampleOf(family(families, "kelvaron_stream_frames_total"), "/robot1/scan")->counter.value,
    1234.0);
  // No frame yet, no header: left out, not 0.
  EXPECT_EQ(
    sampleOf(family(families, "kelvaron_stream_last_frame_age_seconds"), "/scan_02"), nullptr);
  EXPECT_EQ(sampleOf(family(families, "kelvaron_stream_header_age_seconds"), "/scan_02"), nullptr);
}

TEST(StreamMetrics, DataStatusesByKindAndTheBuild)
{
  const std::vector<MetricFamily> families =
    kelvaron::diag_node::streamMetricFamilies(twoStreams(), "0.1.0");
  const MetricFamily * statuses = family(families, "kelvaron_data_status");
  ASSERT_NE(statuses, nullptr);
  ASSERT_EQ(statuses->metric.size(), 1U);
  EXPECT_EQ(statuses->metric[0].label[0].name, "kind");
  EXPECT_EQ(sampleOf(statuses, "LOCALIZATION_LOST_STATUS")->gauge.value, 1.0);
  const ClientMetric * build = sampleOf(family(families, "kelvaron_build_info"), "0.1.0");
  ASSERT_NE(build, nullptr);
  EXPECT_EQ(build->label[0].name, "version");
  EXPECT_EQ(build->gauge.value, 1.0);
}

TEST(StreamMetrics, AnEmptySnapshotGivesOnlyTheBuild)
{
  const std::vector<MetricFamily> families =
    kelvaron::diag_node::streamMetricFamilies(kelvaron::HealthSnapshot{}, "0.1.0");
  ASSERT_EQ(families.size(), 1U);
  EXPECT_EQ(families[0].name, "kelvaron_build_info");
}

}  // namespace
