// Simulated time through the object's clock seam: a stream judged by /clock reads normal at any
// real-time factor and through a pause, nothing is judged before the first /clock, and a reset
// of the simulation falls under the backward-step rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"

namespace
{

constexpr int64_t kRealStepMs = 10;
constexpr int64_t kRealPassMs = 100;    // the timer's period, in real time
constexpr int64_t kFramePeriodMs = 50;  // 20 Hz of simulated time
constexpr int8_t kNormal = 1;
constexpr int8_t kAbnormal = 2;

class SimulatedTimeTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    {
      ConsoleCapture quiet;
      // 20 Hz, low below 16 Hz for over a second, timed out after 300 ms, normal after 3 frames.
      ASSERT_TRUE(diagnosis_.Register("/scan_01", 20.0F, 0.8F, 300, 3));
    }
    DiagnosisTestAccess::markInitialized(diagnosis_);
    DiagnosisTestAccess::setClock(diagnosis_, [this] { return sim_ms_; });
  }

  // Runs the world for `real_ms` of real time with simulated time at `factor` times real time
  // (0: paused, no frames either): frames every 50 ms of simulated time, a pass every 100 ms of
  // real time. Counts the passes whose verdicts were not both normal.
  int run(double factor, int64_t real_ms, bool frames = true)
  {
    int abnormal_passes = 0;
    for (int64_t real = kRealStepMs; real <= real_ms; real += kRealStepMs) {
      sim_exact_ += factor * kRealStepMs;
      sim_ms_ = static_cast<int64_t>(std::llround(sim_exact_));
      while (frames && factor > 0 && next_frame_ms_ <= *sim_ms_) {
        std_msgs::msg::Header header;
        header.frame_id = "front_laser";
        header.stamp.sec = static_cast<int32_t>(next_frame_ms_ / 1000);
        header.stamp.nanosec = static_cast<uint32_t>(next_frame_ms_ % 1000) * 1000000U;
        diagnosis_.SensorReportWithHeader("/scan_01", header);
        next_frame_ms_ += kFramePeriodMs;
      }
      if (real % kRealPassMs == 0) {
        diagnosis_.TimeoutCheck();
        diagnosis_.FPSCheck();
        const SensorState state = stream();
        abnormal_passes +=
          state.timeout_verdict != kNormal || state.frame_rate_verdict == kAbnormal;
      }
    }
    return abnormal_passes;
  }

  // Moves simulated time to `sim_ms` at once, as a reset of the simulation does.
  void jumpTo(int64_t sim_ms)
  {
    sim_exact_ = static_cast<double>(sim_ms);
    sim_ms_ = sim_ms;
    next_frame_ms_ = sim_ms;
  }

  SensorState stream() { return DiagnosisTestAccess::states(diagnosis_).at("/scan_01"); }

  Diagnosis diagnosis_;
  std::optional<int64_t> sim_ms_{1'000'000};
  double sim_exact_{1'000'000.0};
  int64_t next_frame_ms_{1'000'000};
};

class RealTimeFactor : public SimulatedTimeTest, public ::testing::WithParamInterface<double>
{
};

TEST_P(RealTimeFactor, AStreamAtItsSimulatedRateReadsNormal)
{
  run(GetParam(), 2000);  // the stream comes up
  ASSERT_EQ(stream().timeout_verdict, kNormal);
  EXPECT_EQ(run(GetParam(), 5000), 0) << "factor " << GetParam();
  EXPECT_EQ(stream().frame_rate_verdict, kNormal);
  EXPECT_EQ(stream().timeouts_total, 0);
  EXPECT_EQ(stream().low_rate_spells_total, 0);
  // Stamps and arrivals share the time base: the header is as old as the simulation says.
  ASSERT_TRUE(stream().header_age_ms);
  EXPECT_GE(*stream().header_age_ms, 0);
  EXPECT_LT(*stream().header_age_ms, kFramePeriodMs);
}

INSTANTIATE_TEST_SUITE_P(SlowAndFast, RealTimeFactor, ::testing::Values(0.25, 0.5, 1.0, 2.0));

TEST_F(SimulatedTimeTest, APausedSimulationNeitherTimesOutNorDropsTheRate)
{
  run(0.5, 2000);
  ASSERT_EQ(stream().timeout_verdict, kNormal);
  EXPECT_EQ(run(0.0, 10000), 0) << "ten seconds of real time without a frame or a tick";
  EXPECT_EQ(stream().frame_rate_verdict, kNormal);
  EXPECT_EQ(run(0.5, 3000), 0) << "and on after the pause";
}

TEST_F(SimulatedTimeTest, NothingIsJudgedOrCountedBeforeTheFirstClock)
{
  sim_ms_.reset();
  std_msgs::msg::Header header;
  header.frame_id = "front_laser";
  for (int i = 0; i < 20; ++i) {
    EXPECT_TRUE(diagnosis_.SensorReportWithHeader("/scan_01", header));
    diagnosis_.TimeoutCheck();
    diagnosis_.FPSCheck();
  }
  SensorState state = stream();
  EXPECT_EQ(state.timeout_verdict, 0) << "no verdict without a time";
  EXPECT_FALSE(state.frame_rate_spoke);
  EXPECT_EQ(state.frames_total, 0) << "frames with no time to date them are not counted";
  EXPECT_TRUE(state.timestamps.empty());
  EXPECT_EQ(state.last_header.frame_id, "front_laser") << "the header is kept for the events";

  // No report can be dated before the clock starts, so none is held back by the limit: a
  // recovery reported right after a failure still goes out.
  EXPECT_TRUE(diagnosis_.DataStatusReport(LOCALIZATION_LOST_STATUS, 1));
  EXPECT_TRUE(diagnosis_.DataStatusReport(LOCALIZATION_LOST_STATUS, 0));

  jumpTo(5'000);
  EXPECT_TRUE(diagnosis_.DataStatusReport(LOCALIZATION_LOST_STATUS, 1));
  EXPECT_FALSE(diagnosis_.DataStatusReport(LOCALIZATION_LOST_STATUS, 0)) << "limited once dated";
  run(1.0, 1000);
  EXPECT_EQ(stream().timeout_verdict, kNormal);
}

TEST_F(SimulatedTimeTest, AResetOfTheSimulationFollowsTheBackwardStepRules)
{
  run(1.0, 3000);
  ASSERT_EQ(stream().timeout_verdict, kNormal);
  // Back to the start of the simulation; the stream keeps publishing.
  jumpTo(500);
  EXPECT_EQ(run(1.0, 3000), 0) << "a stream that keeps reporting stays normal";

  // Reset again, and this time the stream stops with it: it times out one cut-off later.
  jumpTo(200);
  run(1.0, 300, false);
  EXPECT_EQ(stream().timeout_verdict, kNormal) << "within the 300 ms cut-off";
  run(1.0, 200, false);
  EXPECT_EQ(stream().timeout_verdict, kAbnormal);
}

}  // namespace
