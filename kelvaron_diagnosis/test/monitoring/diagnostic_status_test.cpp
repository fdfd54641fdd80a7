// The /diagnostics status of a stream at the boundaries of its levels, driven with chosen times
// through the same verdict functions the timer runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sensor_diagnosis/diagnostic_status_builder.hpp"
#include "sensor_diagnosis/stream_health.hpp"
#include "support/scanner_thresholds.hpp"

namespace
{

using diagnostic_msgs::msg::DiagnosticStatus;

constexpr int64_t kT0 = 1'700'000'000'000;  // an arbitrary wall-clock epoch time, ms

// One stream as the timer sees it: frames recorded, passes run, status built after a pass.
class StreamUnderWatch
{
public:
  explicit StreamUnderWatch(SensorThreshold threshold) : threshold_(threshold) {}

  void frame(int64_t at_ms, std::optional<int64_t> header_age_ms = std::nullopt)
  {
    kelvaron::recordFrame(state_, threshold_, at_ms);
    if (header_age_ms) {
      state_.header_age_ms = header_age_ms;
    }
  }

  DiagnosticStatus passAndStatus(int64_t now_ms)
  {
    const auto verdict = kelvaron::judgeStream(state_, threshold_, now_ms);
    kelvaron::settleRecovery(state_, threshold_, verdict);
    kelvaron::noteStreamVerdict(state_, verdict);
    kelvaron::noteFrameRateVerdict(state_, kelvaron::judgeFrameRate(state_, threshold_, now_ms));
    return kelvaron::streamStatus(kelvaron::streamFigures("/scan_01", state_, threshold_, now_ms));
  }

  const SensorState & state() const { return state_; }

private:
  SensorThreshold threshold_;
  SensorState state_;
};

std::string valueOf(const DiagnosticStatus & status, const std::string & key)
{
  for (const auto & entry : status.values) {
    if (entry.key == key) {
      return entry.value;
    }
  }
  ADD_FAILURE() << "no value " << key;
  return "";
}

TEST(StreamDiagnosticStatus, NeverSeenIsStaleWithEmptyUnknowns)
{
  StreamUnderWatch stream(scannerThreshold());
  const DiagnosticStatus status = stream.passAndStatus(kT0);
  EXPECT_EQ(status.level, DiagnosticStatus::STALE);
  EXPECT_EQ(status.message, "no frame received yet");
  EXPECT_EQ(status.name, "diagnosis_Sensor_Proxy_node: /scan_01");
  EXPECT_EQ(status.hardware_id, "");

  std::vector<std::string> keys;
  for (const auto & entry : status.values) {
    keys.push_back(entry.key);
  }
  EXPECT_EQ(
    keys, (std::vector<std::string>{
            "topic", "frame_rate_hz", "normal_hz", "low_limit_hz", "since_last_frame_ms",
            "cutoff_timeout_ms", "header_age_ms", "max_header_age_ms", "recovery_run_frames",
            "cutoff_recovery_threshold", "frames_total", "timeouts_total", "low_rate_spells_total",
            "timeout_event_id", "frame_rate_event_id"}));
  EXPECT_EQ(valueOf(status, "topic"), "/scan_01");
  EXPECT_EQ(valueOf(status, "normal_hz"), "10");
  EXPECT_EQ(valueOf(status, "low_limit_hz"), "5");
  EXPECT_EQ(valueOf(status, "since_last_frame_ms"), "");
  EXPECT_EQ(valueOf(status, "header_age_ms"), "");
  EXPECT_EQ(valueOf(status, "max_header_age_ms"), "");
  EXPECT_EQ(valueOf(status, "timeout_event_id"), "8001");
  EXPECT_EQ(valueOf(status, "frame_rate_event_id"), "8008");
}

TEST(StreamDiagnosticStatus, HealthyThenTimedOutThenRecoveredCountsOneTimeout)
{
  StreamUnderWatch stream(scannerThreshold());  // 10 Hz, cut-off 500 ms, recovery 3 frames
  for (int i = 0; i < 10; ++i) {
    stream.frame(kT0 + 100 * i);
  }
  DiagnosticStatus status = stream.passAndStatus(kT0 + 900);
  EXPECT_EQ(status.level, DiagnosticStatus::OK);
  EXPECT_EQ(status.message, "STREAM NORMAL, NORMAL FRAME RATE");
  EXPECT_EQ(valueOf(status, "frame_rate_hz"), "10");
  EXPECT_EQ(valueOf(status, "since_last_frame_ms"), "0");
  EXPECT_EQ(valueOf(status, "recovery_run_frames"), "10");
  EXPECT_EQ(valueOf(status, "cutoff_recovery_threshold"), "3");

  // Exactly the cut-off is still normal; one millisecond more is a time-out.
  EXPECT_EQ(stream.passAndStatus(kT0 + 1400).level, DiagnosticStatus::OK);
  status = stream.passAndStatus(kT0 + 1401);
  EXPECT_EQ(status.level, DiagnosticStatus::ERROR);
  EXPECT_EQ(status.message.rfind("STREAM TIMEOUT", 0), 0U) << status.message;
  EXPECT_EQ(valueOf(status, "timeouts_total"), "1");
  stream.passAndStatus(kT0 + 1500);  // still timed out: not a second one
  EXPECT_EQ(stream.state().timeouts_total, 1);

  // Recovered once a run of three frames arrived.
  for (int i = 0; i < 3; ++i) {
    stream.frame(kT0 + 3000 + 100 * i);
  }
  status = stream.passAndStatus(kT0 + 3200);
  EXPECT_EQ(status.level, DiagnosticStatus::OK) << status.message;
  EXPECT_EQ(valueOf(status, "recovery_run_frames"), "3");
  EXPECT_EQ(valueOf(status, "timeouts_total"), "1");
  EXPECT_EQ(valueOf(status, "frames_total"), "13");
}

TEST(StreamDiagnosticStatus, ALowRateWarnsOnceItsHoldTimeHasPassed)
{
  StreamUnderWatch stream(scannerThreshold());  // low below 5 frames/s for more than 800 ms
  // A frame every 300 ms (never a gap beyond the cut-off), a pass every 100 ms.
  DiagnosticStatus status;
  for (int64_t now = kT0; now <= kT0 + 3000; now += 50) {
    if ((now - kT0) % 300 == 0) {
      stream.frame(now);
    }
    if ((now - kT0) % 100 == 0) {
      status = stream.passAndStatus(now);
    }
  }
  EXPECT_EQ(status.level, DiagnosticStatus::WARN);
  EXPECT_EQ(status.message, "STREAM NORMAL, ABNORMAL FRAME RATE");
  EXPECT_EQ(valueOf(status, "frame_rate_hz"), "4");
  EXPECT_EQ(valueOf(status, "low_rate_spells_total"), "1");
}

TEST(StreamDiagnosticStatus, HeaderAgeWarnsOnlyAboveItsLimit)
{
  SensorThreshold threshold = scannerThreshold();
  threshold.max_header_age_ms = 200;
  StreamUnderWatch stream(threshold);
  for (int i = 0; i < 10; ++i) {
    stream.frame(kT0 + 100 * i, 200);
  }
  DiagnosticStatus status = stream.passAndStatus(kT0 + 900);
  EXPECT_EQ(status.level, DiagnosticStatus::OK) << "at its limit";
  EXPECT_EQ(valueOf(status, "header_age_ms"), "200");
  EXPECT_EQ(valueOf(status, "max_header_age_ms"), "200");

  stream.frame(kT0 + 1000, 201);
  status = stream.passAndStatus(kT0 + 1000);
  EXPECT_EQ(status.level, DiagnosticStatus::WARN);
  EXPECT_EQ(status.message, "STREAM NORMAL, NORMAL FRAME RATE, HEADER AGE 201 ms");
}

TEST(DataStatusDiagnosticStatus, NamesItsChannelsNodeAndLevelsByStatus)
{
  const auto & lost = kelvaron::kDataStatusKinds[LOCALIZATION_LOST_STATUS];
  DiagnosticStatus status = kelvaron::dataStatusStatus(lost, 1, 250);
  EXPECT_EQ(status.name, "diagnosis_Chassis_Loc_node: LOCALIZATION_LOST_STATUS");
  EXPECT_EQ(status.level, DiagnosticStatus::ERROR);
  EXPECT_EQ(status.message, "LOCALIZATION_LOST");
  ASSERT_EQ(status.values.size(), 3U);
  EXPECT_EQ(status.values[0].value, "8020");
  EXPECT_EQ(status.values[2].key, "since_report_ms");
  EXPECT_EQ(status.values[2].value, "250");
  EXPECT_EQ(kelvaron::dataStatusStatus(lost, 0, 0).level, DiagnosticStatus::OK);
}

TEST(DiagnosticValues, DecimalsHaveAtMostThreePlaces)
{
  EXPECT_EQ(kelvaron::formatDecimal(10.0), "10");
  EXPECT_EQ(kelvaron::formatDecimal(7.5), "7.5");
  EXPECT_EQ(kelvaron::formatDecimal(20.0 / 3.0), "6.667");
  EXPECT_EQ(kelvaron::formatDecimal(0.0004), "0");
  EXPECT_EQ(kelvaron::formatDecimal(std::numeric_limits<double>::infinity()), "inf");
}

}  // namespace
