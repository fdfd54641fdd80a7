// Verdict boundaries of the health checks, driven with chosen times.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sensor_diagnosis/stream_health.hpp"
#include "sensor_diagnosis/stream_table.hpp"

namespace
{

using kelvaron::FrameRateVerdict;
using kelvaron::StreamVerdict;

constexpr int64_t kT0 = 1'700'000'000'000;  // an arbitrary wall-clock epoch time, ms

SensorThreshold threshold(
  float normal_hz, float low_ratio, int64_t cutoff_ms, int64_t recovery, int64_t hold_ms)
{
  SensorThreshold t;
  t.normal_hz = normal_hz;
  t.low_ratio = low_ratio;
  t.cutoff_timeout_ms = cutoff_ms;
  t.cutoff_recovery_threshold = recovery;
  t.abnormal_duration_ms = hold_ms;
  return t;
}

// One time-out pass for one sensor, as the timer runs it.
StreamVerdict timeoutPass(SensorState & state, const SensorThreshold & t, int64_t now_ms)
{
  const StreamVerdict verdict = kelvaron::judgeStream(state, t, now_ms);
  kelvaron::settleRecovery(state, t, verdict);
  return verdict;
}

TEST(TimeoutVerdict, ElapsedEqualToCutoffIsNormalOneMoreIsTimeout)
{
  const auto t = threshold(10, 0.5, 500, 1, 1000);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  EXPECT_EQ(timeoutPass(state, t, kT0 + 500), StreamVerdict::kNormal);
  EXPECT_EQ(timeoutPass(state, t, kT0 + 501), StreamVerdict::kTimeout);
}

TEST(TimeoutVerdict, NeverReportedSensorTimesOutOnEveryPass)
{
  const auto t = threshold(10, 0.5, 500, 1, 1000);
  SensorState state;
  for (int pass = 0; pass < 5; ++pass) {
    EXPECT_EQ(timeoutPass(state, t, kT0 + pass * 100), StreamVerdict::kTimeout);
    EXPECT_EQ(state.recovery_count, 0);
  }
}

TEST(TimeoutVerdict, SteadyStreamIsNormalOnFirstPassAfterThresholdFrames)
{
  const auto t = threshold(10, 0.5, 500, 3, 1000);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  kelvaron::recordFrame(state, t, kT0 + 100);
  EXPECT_EQ(timeoutPass(state, t, kT0 + 150), StreamVerdict::kTimeout);
  kelvaron::recordFrame(state, t, kT0 + 200);
  EXPECT_EQ(timeoutPass(state, t, kT0 + 250), StreamVerdict::kNormal);
  EXPECT_EQ(state.recovery_count, 3);
  // A stream that keeps flowing stays normal, pass after pass.
  for (int64_t at = kT0 + 300; at < kT0 + 3000; at += 100) {
    kelvaron::recordFrame(state, t, at);
    EXPECT_EQ(timeoutPass(state, t, at + 50), StreamVerdict::kNormal) << "at " << at - kT0;
  }
}

TEST(TimeoutVerdict, AfterAnOutageOneFreshFrameIsNotEnoughButTheThresholdIs)
{
  const auto t = threshold(10, 0.5, 500, 3, 1000);
  SensorState state;
  for (int64_t at = kT0; at <= kT0 + 400; at += 100) {
    kelvaron::recordFrame(state, t, at);
  }
  ASSERT_EQ(timeoutPass(state, t, kT0 + 450), StreamVerdict::kNormal);
  ASSERT_EQ(timeoutPass(state, t, kT0 + 1000), StreamVerdict::kTimeout);

  const int64_t back = kT0 + 5000;  // a gap far longer than the cut-off
  kelvaron::recordFrame(state, t, back);
  EXPECT_EQ(timeoutPass(state, t, back + 50), StreamVerdict::kTimeout)
    << "frames from before the outage must not count";
  kelvaron::recordFrame(state, t, back + 100);
  EXPECT_EQ(timeoutPass(state, t, back + 150), StreamVerdict::kTimeout);
  kelvaron::recordFrame(state, t, back + 200);
  EXPECT_EQ(timeoutPass(state, t, back + 250), StreamVerdict::kNormal);
}

TEST(TimeoutVerdict, SlowStreamWhoseRunSpansMoreThanOneSecondRecovers)
{
  // 0.5 Hz, cut-off 3 s, two frames to recover: the run is not capped by the rate window.
  const auto t = threshold(0.5, 0.5, 3000, 2, 1000);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  EXPECT_EQ(timeoutPass(state, t, kT0 + 100), StreamVerdict::kTimeout);
  kelvaron::recordFrame(state, t, kT0 + 2000);
  EXPECT_EQ(timeoutPass(state, t, kT0 + 2100), StreamVerdict::kNormal);
}

TEST(TimeoutVerdict, GapJustOverCutoffStartsANewRun)
{
  const auto t = threshold(10, 0.5, 500, 2, 1000);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  kelvaron::recordFrame(state, t, kT0 + 500);  // exactly the cut-off: same run
  EXPECT_EQ(state.run_frames, 2);
  kelvaron::recordFrame(state, t, kT0 + 1001);  // one ms more: a new run
  EXPECT_EQ(state.run_frames, 1);
}

TEST(FrameRateVerdict, FiveFramesOfTenTimesHalfAreNormalFourAreLow)
{
  const auto t = threshold(10, 0.5, 500, 1, 0);
  SensorState normal;
  for (int i = 0; i < 5; ++i) {
    kelvaron::recordFrame(normal, t, kT0 + i * 100);
  }
  EXPECT_EQ(kelvaron::judgeFrameRate(normal, t, kT0 + 500), FrameRateVerdict::kNormal);

  SensorState low;
  for (int i = 0; i < 4; ++i) {
    kelvaron::recordFrame(low, t, kT0 + i * 100);
  }
  EXPECT_EQ(kelvaron::judgeFrameRate(low, t, kT0 + 500), FrameRateVerdict::kSilent);
  EXPECT_EQ(low.abnormal_start_ms, kT0 + 500);
}

TEST(FrameRateVerdict, ZeroHoldTimeFirstLowPassSilentSecondReports)
{
  const auto t = threshold(10, 0.5, 500, 1, 0);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 100), FrameRateVerdict::kSilent);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 101), FrameRateVerdict::kLow);
  // The spell is not reset by reporting: it keeps being reported while the rate stays low.
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 200), FrameRateVerdict::kLow);
  EXPECT_EQ(state.abnormal_start_ms, kT0 + 100);
}

TEST(FrameRateVerdict, LowSpellReportedOnlyAfterItsHoldTime)
{
  const auto t = threshold(10, 0.5, 500, 1, 300);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 100), FrameRateVerdict::kSilent);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 400), FrameRateVerdict::kSilent);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 401), FrameRateVerdict::kLow);
}

TEST(FrameRateVerdict, NormalRateEndsTheLowSpell)
{
  const auto t = threshold(2, 1.0, 500, 1, 0);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  ASSERT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 10), FrameRateVerdict::kSilent);
  ASSERT_NE(state.abnormal_start_ms, 0);
  kelvaron::recordFrame(state, t, kT0 + 20);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 30), FrameRateVerdict::kNormal);
  EXPECT_EQ(state.abnormal_start_ms, 0);
}

TEST(FrameRateVerdict, EmptyWindowPublishesNothingAndKeepsTheSpell)
{
  const auto t = threshold(10, 0.5, 500, 1, 0);
  SensorState state;
  state.abnormal_start_ms = kT0;
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 5000), FrameRateVerdict::kSilent);
  EXPECT_EQ(state.abnormal_start_ms, kT0);
}

TEST(FrameRateVerdict, NanLimitReadsAsNormal)
{
  const auto t = threshold(std::numeric_limits<float>::quiet_NaN(), 0.5, 500, 1, 0);
  SensorState state;
  kelvaron::recordFrame(state, t, kT0);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 100), FrameRateVerdict::kNormal);
}

TEST(FrameRateVerdict, LimitIsComputedInSinglePrecision)
{
  // 10 * 0.3f is exactly 3 in float but 3.0000001192... in double: three frames must read as
  // a normal rate.
  const auto t = threshold(10.0F, 0.3F, 500, 1, 0);
  SensorState state;
  for (int i = 0; i < 3; ++i) {
    kelvaron::recordFrame(state, t, kT0 + i * 10);
  }
  EXPECT_EQ(kelvaron::judgeFrameRate(state, t, kT0 + 100), FrameRateVerdict::kNormal);
}

TEST(FrameWindow, EntryExactlyOneSecondOldStaysOneMoreIsTrimmed)
{
  std::deque<int64_t> window{kT0, kT0 + 1, kT0 + 2};
  kelvaron::trimWindow(window, kT0 + 1000);
  EXPECT_EQ(window.size(), 3U);
  kelvaron::trimWindow(window, kT0 + 1001);
  EXPECT_EQ(window, (std::deque<int64_t>{kT0 + 1, kT0 + 2}));
}

TEST(FrameWindow, RecordingKeepsTheWindowBoundedWithoutAPass)
{
  // A host that never starts the timer must not grow the window without bound.
  const auto t = threshold(1000, 0.5, 500, 1, 0);
  SensorState state;
  for (int64_t at = kT0; at < kT0 + 60'000; ++at) {
    kelvaron::recordFrame(state, t, at);
  }
  EXPECT_EQ(state.timestamps.size(), 1001U);
  EXPECT_EQ(state.last_receive_ms, kT0 + 59'999);
  EXPECT_EQ(state.timestamps.back(), state.last_receive_ms);
}

TEST(StreamTable, IdsOfEveryRowAndOfOtherTopics)
{
  struct Row
  {
    const char * topic;
    int32_t timeout_id;
    int32_t frame_rate_id;
  };
  const Row rows[] = {
    {"/scan_01", 8001, 8008},
    {"/scan_02", 8002, 8010},
    {"/rslidar_points", 8003, 8012},
    {"/costmap_input/ultrasonic_laser1", 8004, 8015},
    {"/costmap_input/ultrasonic_laser2", 8007, 8015},
    {"/costmap_input/ultrasonic_laser3", 8005, 8015},
    {"/costmap_input/ultrasonic_laser4", 8006, 8015},
    {"/camera_02/depth/image_raw", 0, 8013},
    {"/camera_01/color/image_raw", 0, 8014},
    {"/camera_03/color/image_raw", 0, 8014},
    {"/imu/data", 0, 8016},
    {"/robot_base/wheel/odom", 0, 8021},
    {"scan_01", 0, 0},
    {"/scan_03", 0, 0},
    {"", 0, 0},
  };
  for (const Row & row : rows) {
    const auto ids = kelvaron::streamEventIds(row.topic);
    EXPECT_EQ(ids.timeout_id, row.timeout_id) << row.topic;
    EXPECT_EQ(ids.frame_rate_id, row.frame_rate_id) << row.topic;
  }
  EXPECT_EQ(kelvaron::streamIndex("/imu/data"), 10U);
  EXPECT_EQ(kelvaron::streamIndex("/imu"), kelvaron::kStreamTableRows);
}

}  // namespace
