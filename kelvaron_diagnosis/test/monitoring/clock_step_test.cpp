// Wall-clock steps: a backward step must not hide a time-out or silence a status key, and a
// forward step reads as silence followed by recovery.
#include <gtest/gtest.h>

#include <string>
#include <unordered_map>

#include "sensor_diagnosis/status_catalogue.hpp"
#include "sensor_diagnosis/stream_health.hpp"
#include "support/scanner_thresholds.hpp"

namespace
{

using kelvaron::FrameRateVerdict;
using kelvaron::StreamVerdict;

constexpr int64_t kT0 = 1'700'000'000'000;
constexpr int64_t kMinute = 60'000;
constexpr int64_t kDay = 86'400'000;
constexpr int64_t kPeriod = 100;  // the timer's period

// Drives one sensor through frames and passes on a wall clock the test moves.
class SteppedStream : public ::testing::TestWithParam<int64_t>
{
protected:
  // Frames at 10 Hz from `from` for `duration` ms, with a pass after every frame.
  void flow(int64_t from, int64_t duration)
  {
    for (int64_t at = from; at < from + duration; at += 100) {
      kelvaron::recordFrame(state_, threshold_, at);
      last_verdict_ = pass(at + 50);
    }
  }

  StreamVerdict pass(int64_t now_ms)
  {
    const StreamVerdict verdict = kelvaron::judgeStream(state_, threshold_, now_ms);
    kelvaron::settleRecovery(state_, threshold_, verdict);
    kelvaron::judgeFrameRate(state_, threshold_, now_ms);
    return verdict;
  }

  SensorThreshold threshold_ = scannerThreshold();
  SensorState state_;
  StreamVerdict last_verdict_{StreamVerdict::kTimeout};
};

TEST_P(SteppedStream, AStreamThatKeepsReportingStaysNormal)
{
  flow(kT0, 2000);
  ASSERT_EQ(last_verdict_, StreamVerdict::kNormal);
  const int64_t after_step = kT0 + 2000 - GetParam();
  for (int64_t at = after_step; at < after_step + 3000; at += 100) {
    kelvaron::recordFrame(state_, threshold_, at);
    EXPECT_EQ(pass(at + 50), StreamVerdict::kNormal) << "at +" << at - after_step << " ms";
  }
}

TEST_P(SteppedStream, AStreamThatStopsAtTheStepTimesOutOneCutoffLater)
{
  flow(kT0, 2000);
  const int64_t step_at = kT0 + 2000 - GetParam();
  int64_t first_timeout = -1;
  for (int64_t now = step_at; now < step_at + 5000; now += kPeriod) {
    if (pass(now) == StreamVerdict::kTimeout) {
      first_timeout = now - step_at;
      break;
    }
  }
  ASSERT_GE(first_timeout, 0) << "the dead stream never timed out";
  EXPECT_GT(first_timeout, threshold_.cutoff_timeout_ms - kPeriod);
  EXPECT_LE(first_timeout, threshold_.cutoff_timeout_ms + kPeriod);
}

TEST_P(SteppedStream, TheWindowHoldsNoFutureEntriesAndCountsOnlyRealFrames)
{
  flow(kT0, 2000);
  ASSERT_EQ(state_.timestamps.size(), 10U);
  const int64_t after_step = kT0 + 2000 - GetParam();
  kelvaron::recordFrame(state_, threshold_, after_step);
  kelvaron::recordFrame(state_, threshold_, after_step + 100);
  EXPECT_EQ(state_.timestamps, (std::deque<int64_t>{after_step, after_step + 100}));
  EXPECT_EQ(state_.last_receive_ms, after_step + 100);

  // A pass that finds entries from before the step drops them too.
  SensorState stale;
  stale.timestamps = {kT0, kT0 + 100, kT0 + 200};
  kelvaron::judgeFrameRate(stale, threshold_, kT0 - GetParam());
  EXPECT_TRUE(stale.timestamps.empty());
}

TEST_P(SteppedStream, ALowSpellFromBeforeTheStepRestarts)
{
  SensorState state;
  state.abnormal_start_ms = kT0;
  state.timestamps = {kT0 - GetParam() - 10};
  const int64_t now = kT0 - GetParam();
  EXPECT_EQ(kelvaron::judgeFrameRate(state, threshold_, now), FrameRateVerdict::kSilent);
  EXPECT_EQ(state.abnormal_start_ms, now);
  // Measured from the restart: reported after its hold time, not only once the step has passed.
  EXPECT_EQ(
    kelvaron::judgeFrameRate(state, threshold_, now + threshold_.abnormal_duration_ms),
    FrameRateVerdict::kSilent);
  EXPECT_EQ(
    kelvaron::judgeFrameRate(state, threshold_, now + threshold_.abnormal_duration_ms + 1),
    FrameRateVerdict::kLow);
}

TEST_P(SteppedStream, AStatusReportRightAfterTheStepIsAccepted)
{
  std::unordered_map<std::string, int64_t> times;
  ASSERT_TRUE(kelvaron::admitStatusReport(times, "LOCALIZATION_LOST_STATUS", kT0));
  const int64_t after_step = kT0 - GetParam();
  EXPECT_TRUE(kelvaron::admitStatusReport(times, "LOCALIZATION_LOST_STATUS", after_step));
  EXPECT_EQ(times.at("LOCALIZATION_LOST_STATUS"), after_step);
  // From then on the limit counts from the new time.
  EXPECT_FALSE(kelvaron::admitStatusReport(times, "LOCALIZATION_LOST_STATUS", after_step + 999));
  EXPECT_TRUE(kelvaron::admitStatusReport(times, "LOCALIZATION_LOST_STATUS", after_step + 1000));
}

INSTANTIATE_TEST_SUITE_P(
  BackBy, SteppedStream, ::testing::Values(kMinute, kDay),
  [](const ::testing::TestParamInfo<int64_t> & info) {
    return info.param == kMinute ? std::string("OneMinute") : std::string("OneDay");
  });

TEST(ForwardClockStep, ReadsAsOneTimeOutThenNormalOnceFramesFlow)
{
  const SensorThreshold threshold = scannerThreshold();
  SensorState state;
  for (int64_t at = kT0; at < kT0 + 1000; at += 100) {
    kelvaron::recordFrame(state, threshold, at);
  }
  const auto pass = [&](int64_t now) {
    const StreamVerdict verdict = kelvaron::judgeStream(state, threshold, now);
    kelvaron::settleRecovery(state, threshold, verdict);
    return verdict;
  };
  ASSERT_EQ(pass(kT0 + 950), StreamVerdict::kNormal);

  const int64_t jumped = kT0 + 1000 + kMinute;
  EXPECT_EQ(pass(jumped), StreamVerdict::kTimeout);
  kelvaron::recordFrame(state, threshold, jumped + 10);
  kelvaron::recordFrame(state, threshold, jumped + 110);
  kelvaron::recordFrame(state, threshold, jumped + 210);
  EXPECT_EQ(pass(jumped + 260), StreamVerdict::kNormal);
  EXPECT_EQ(kelvaron::judgeFrameRate(state, threshold, jumped + 260), FrameRateVerdict::kSilent)
    << "three frames in the new second are below the limit of five";
}

}  // namespace
