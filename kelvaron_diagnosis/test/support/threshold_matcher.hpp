#pragma once

// Matches a stored SensorThreshold field by field, naming every field on a mismatch.
//
//   EXPECT_THAT(thresholds.at("/scan_01"), ThresholdIs(10.0F, 0.5F, 500, 3, 800));

#include <gmock/gmock.h>

#include <cstdint>
#include <ostream>

#include "sensor_diagnosis.hpp"

inline void PrintTo(const SensorThreshold & threshold, std::ostream * os)
{
  *os << "{normal_hz " << threshold.normal_hz << ", low_ratio " << threshold.low_ratio
      << ", cutoff_timeout_ms " << threshold.cutoff_timeout_ms << ", cutoff_recovery_threshold "
      << threshold.cutoff_recovery_threshold << ", abnormal_duration_ms "
      << threshold.abnormal_duration_ms << "}";
}

// Floats compare within a few units in the last place, as parsed text and literals may differ.
inline ::testing::Matcher<const SensorThreshold &> ThresholdIs(
  float normal_hz, float low_ratio, int64_t cutoff_timeout_ms, int64_t cutoff_recovery_threshold,
  int64_t abnormal_duration_ms)
{
  using ::testing::Eq;
  using ::testing::Field;
  using ::testing::FloatEq;
  return ::testing::AllOf(
    Field("normal_hz", &SensorThreshold::normal_hz, FloatEq(normal_hz)),
    Field("low_ratio", &SensorThreshold::low_ratio, FloatEq(low_ratio)),
    Field("cutoff_timeout_ms", &SensorThreshold::cutoff_timeout_ms, Eq(cutoff_timeout_ms)),
    Field(
      "cutoff_recovery_threshold", &SensorThreshold::cutoff_recovery_threshold,
      Eq(cutoff_recovery_threshold)),
    Field(
      "abnormal_duration_ms", &SensorThreshold::abnormal_duration_ms, Eq(abnormal_duration_ms)));
}
