#pragma once

// The content of the optional /diagnostics output, free of locks, clocks and I/O: the figures
// of one stream are copied under the data lock, the statuses are built from them after it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <diagnostic_msgs/msg/diagnostic_status.hpp>

#include "kelvaron_diagnosis/event_catalog.hpp"
#include "sensor_diagnosis.hpp"

namespace kelvaron
{

// What one status reports of one registered stream at one moment.
struct StreamFigures
{
  std::string topic;
  std::string frame_id;
  int64_t frames_total{0};
  int8_t timeout_verdict{0};     // as SensorState: 0 none yet, 1 normal, 2 time-out
  int8_t frame_rate_verdict{0};  // 0 none, 1 normal, 2 low; meaningful when frame_rate_spoke
  bool frame_rate_spoke{false};
  int64_t frames_in_window{0};
  float normal_hz{0.0F};
  float low_ratio{0.0F};
  std::optional<int64_t> since_last_frame_ms;
  int64_t cutoff_timeout_ms{0};
  std::optional<int64_t> header_age_ms;
  std::optional<int64_t> max_header_age_ms;
  int64_t run_frames{0};
  int64_t cutoff_recovery_threshold{0};
  int64_t timeouts_total{0};
  int64_t low_rate_spells_total{0};
  int32_t timeout_event_id{0};
  int32_t frame_rate_event_id{0};
  // Simulated time has not started: nothing could be judged or dated.
  bool waiting_for_clock{false};

  void markWaitingForClock()
  {
    waiting_for_clock = true;
    frames_in_window = 0;
    since_last_frame_ms.reset();
  }
};

// What one status reports of one data-status kind accepted at least once.
struct DataStatusFigures
{
  std::size_t kind{0};  // index in kDataStatusKinds
  int32_t status{0};
  std::optional<int64_t> since_report_ms{};  // none when dated before simulated time began
};

// Fills `figures` in place: its strings keep their capacity from one publication to the next.
void fillStreamFigures(
  const std::string & topic, const SensorState & state, const SensorThreshold & threshold,
  int64_t now_ms, StreamFigures & figures);
StreamFigures streamFigures(
  const std::string & topic, const SensorState & state, const SensorThreshold & threshold,
  int64_t now_ms);

// The level of a stream's status: STALE before the first frame or verdict, else ERROR on a
// time-out, WARN on a low rate or a header older than its limit, else OK.
uint8_t streamLevel(const StreamFigures & figures);

// "diagnosis_Sensor_Proxy_node: <topic>": STALE before the first frame, else ERROR on a
// time-out, WARN on a low rate or a header older than its limit, else OK. Filled in place, so
// a status reused for the same stream keeps its keys and allocates next to nothing.
void fillStreamStatus(
  const StreamFigures & figures, diagnostic_msgs::msg::DiagnosticStatus & status);
diagnostic_msgs::msg::DiagnosticStatus streamStatus(const StreamFigures & figures);

// "<node of the kind's channel>: <kind>": OK for status 0, ERROR otherwise. An unknown age
// (a report or a publication before simulated time began) is left empty.
diagnostic_msgs::msg::DiagnosticStatus dataStatusStatus(
  const DataStatusKind & kind, int32_t status, std::optional<int64_t> since_report_ms);

// Plain decimal with up to three decimals and no trailing zeros: 10, 7.5, 6.667, inf.
std::string formatDecimal(double value);

}  // namespace kelvaron
