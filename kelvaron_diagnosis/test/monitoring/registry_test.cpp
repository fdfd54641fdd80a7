// Register and validateSensorThreshold: accepted limits, exact console lines, state reset.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/scanner_thresholds.hpp"
#include "support/threshold_matcher.hpp"

namespace
{

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Outcome
{
  bool accepted;
  std::string out;
  std::string err;
};

Outcome registerSensor(
  Diagnosis & diagnosis, const std::string & topic, float hz, float ratio, long cutoff,
  long recovery)
{
  ConsoleCapture console;
  const bool accepted = diagnosis.Register(topic, hz, ratio, cutoff, recovery);
  return {accepted, console.out(), console.err()};
}

TEST(Register, AcceptsBoundaryValuesAndStoresTheRecord)
{
  Diagnosis diagnosis;
  const Outcome outcome = registerSensor(diagnosis, "/scan_01", 10.0F, 1.0F, 1, 1);
  EXPECT_TRUE(outcome.accepted);
  EXPECT_EQ(outcome.out, "[INFO] Registered sensor threshold: /scan_01\n");
  EXPECT_EQ(outcome.err, "");

  const auto thresholds = DiagnosisTestAccess::thresholds(diagnosis);
  ASSERT_EQ(thresholds.count("/scan_01"), 1U);
  const SensorThreshold & stored = thresholds.at("/scan_01");
  EXPECT_THAT(stored, ThresholdIs(10.0F, 1.0F, 1, 1, 1000));
  // A record stored by Register always passes the validation of the threshold file.
  ConsoleCapture console;
  EXPECT_TRUE(diagnosis.validateSensorThreshold("/scan_01", stored));
  EXPECT_EQ(console.err(), "");
}

TEST(Register, RejectsEachInvalidValueWithTheOneMessage)
{
  struct Case
  {
    const char * what;
    float hz;
    float ratio;
    long cutoff;
    long recovery;
  };
  const Case cases[] = {
    {"normal_hz 0", 0.0F, 0.5F, 100, 1},  {"normal_hz negative", -1.0F, 0.5F, 100, 1},
    {"low_ratio 0", 10.0F, 0.0F, 100, 1}, {"low_ratio above 1", 10.0F, 1.0001F, 100, 1},
    {"cutoff 0", 10.0F, 0.5F, 0, 1},      {"cutoff negative", 10.0F, 0.5F, -5, 1},
    {"recovery 0", 10.0F, 0.5F, 100, 0},  {"recovery negative", 10.0F, 0.5F, 100, -1},
  };
  for (const Case & c : cases) {
    Diagnosis diagnosis;
    const Outcome outcome = registerSensor(diagnosis, "/bad", c.hz, c.ratio, c.cutoff, c.recovery);
    EXPECT_FALSE(outcome.accepted) << c.what;
    EXPECT_EQ(outcome.err, "[ERROR] Invalid sensor threshold: /bad\n") << c.what;
    EXPECT_EQ(outcome.out, "") << c.what;
    EXPECT_TRUE(DiagnosisTestAccess::thresholds(diagnosis).empty()) << c.what;
    EXPECT_TRUE(DiagnosisTestAccess::states(diagnosis).empty()) << c.what;
  }
}

TEST(Register, AcceptsNaNRatesBecauseEveryTestIsARejection)
{
  Diagnosis diagnosis;
  EXPECT_TRUE(registerSensor(diagnosis, "/nan_hz", kNaN, 0.5F, 100, 1).accepted);
  EXPECT_TRUE(registerSensor(diagnosis, "/nan_ratio", 10.0F, kNaN, 100, 1).accepted);
}

TEST(Register, ReRegisteringOverwritesLimitsAndResetsState)
{
  Diagnosis diagnosis;
  ASSERT_TRUE(registerSensor(diagnosis, "/scan_01", 10.0F, 0.5F, 500, 3).accepted);
  SensorState used;
  used.timestamps = {1, 2, 3};
  used.last_receive_ms = 3;
  used.abnormal_start_ms = 2;
  used.recovery_count = 3;
  used.run_frames = 3;
  used.run_last_ms = 3;
  used.last_header.frame_id = "laser";
  DiagnosisTestAccess::setState(diagnosis, "/scan_01", used);

  ASSERT_TRUE(registerSensor(diagnosis, "/scan_01", 20.0F, 0.8F, 200, 2).accepted);
  const auto thresholds = DiagnosisTestAccess::thresholds(diagnosis);
  const auto states = DiagnosisTestAccess::states(diagnosis);
  ASSERT_EQ(thresholds.size(), 1U);
  ASSERT_EQ(states.size(), 1U);
  EXPECT_EQ(thresholds.at("/scan_01").normal_hz, 20.0F);
  EXPECT_EQ(thresholds.at("/scan_01").cutoff_timeout_ms, 200);
  const SensorState & fresh = states.at("/scan_01");
  EXPECT_TRUE(fresh.timestamps.empty());
  EXPECT_EQ(fresh.last_receive_ms, 0);
  EXPECT_EQ(fresh.abnormal_start_ms, 0);
  EXPECT_EQ(fresh.recovery_count, 0);
  EXPECT_EQ(fresh.run_frames, 0);
  EXPECT_EQ(fresh.last_header.frame_id, "");
}

TEST(Register, TopicsAreComparedByteForByte)
{
  Diagnosis diagnosis;
  ASSERT_TRUE(registerSensor(diagnosis, "/scan_01", 10.0F, 0.5F, 500, 3).accepted);
  ASSERT_TRUE(registerSensor(diagnosis, "scan_01", 10.0F, 0.5F, 500, 3).accepted);
  EXPECT_EQ(DiagnosisTestAccess::thresholds(diagnosis).size(), 2U);
}

std::string validationError(const SensorThreshold & record, bool expect_valid = false)
{
  Diagnosis diagnosis;
  ConsoleCapture console;
  const bool valid = diagnosis.validateSensorThreshold("/s", record);
  const std::string out = console.out();
  const std::string err = console.err();
  EXPECT_EQ(valid, expect_valid);
  EXPECT_EQ(out, "");
  return err;
}

TEST(ValidateSensorThreshold, ValidRecordPassesSilently)
{
  EXPECT_EQ(validationError(scannerThreshold(), true), "");
  SensorThreshold nan_rates = scannerThreshold();
  nan_rates.normal_hz = kNaN;
  nan_rates.low_ratio = kNaN;
  EXPECT_EQ(validationError(nan_rates, true), "");
  SensorThreshold ratio_one = scannerThreshold();
  ratio_one.low_ratio = 1.0F;
  EXPECT_EQ(validationError(ratio_one, true), "");
}

TEST(ValidateSensorThreshold, EachFieldHasItsLineWithDefaultFloatFormatting)
{
  SensorThreshold r = scannerThreshold();
  r.normal_hz = 0.0F;
  EXPECT_EQ(validationError(r), "[ERROR] Sensor '/s' has invalid normal_hz: 0 (must be > 0)\n");
  r = scannerThreshold();
  r.normal_hz = -1.5F;
  EXPECT_EQ(validationError(r), "[ERROR] Sensor '/s' has invalid normal_hz: -1.5 (must be > 0)\n");
  r = scannerThreshold();
  r.low_ratio = 1.2F;
  EXPECT_EQ(
    validationError(r),
    "[ERROR] Sensor '/s' has invalid low_ratio: 1.2 (must be 0 < ratio <= 1)\n");
  r = scannerThreshold();
  r.low_ratio = -1e-07F;
  EXPECT_EQ(
    validationError(r),
    "[ERROR] Sensor '/s' has invalid low_ratio: -1e-07 (must be 0 < ratio <= 1)\n");
  r = scannerThreshold();
  r.low_ratio = std::numeric_limits<float>::infinity();
  EXPECT_EQ(
    validationError(r),
    "[ERROR] Sensor '/s' has invalid low_ratio: inf (must be 0 < ratio <= 1)\n");
  r = scannerThreshold();
  r.cutoff_timeout_ms = -5;
  EXPECT_EQ(
    validationError(r), "[ERROR] Sensor '/s' has invalid cutoff_timeout_ms: -5 (must be > 0)\n");
  r = scannerThreshold();
  r.abnormal_duration_ms = 0;
  EXPECT_EQ(
    validationError(r), "[ERROR] Sensor '/s' has invalid abnormal_duration_ms: 0 (must be > 0)\n");
  r = scannerThreshold();
  r.cutoff_recovery_threshold = 0;
  EXPECT_EQ(
    validationError(r),
    "[ERROR] Sensor '/s' has invalid cutoff_recovery_threshold: 0 (must be > 0)\n");
}

TEST(ValidateSensorThreshold, OnlyTheFirstFailingRowIsReported)
{
  SensorThreshold r = scannerThreshold();
  r.low_ratio = 2.0F;
  r.cutoff_timeout_ms = -5;
  EXPECT_EQ(
    validationError(r), "[ERROR] Sensor '/s' has invalid low_ratio: 2 (must be 0 < ratio <= 1)\n");

  // The hold time is checked before the recovery count.
  r = scannerThreshold();
  r.abnormal_duration_ms = -1;
  r.cutoff_recovery_threshold = -1;
  EXPECT_EQ(
    validationError(r), "[ERROR] Sensor '/s' has invalid abnormal_duration_ms: -1 (must be > 0)\n");
}

}  // namespace
