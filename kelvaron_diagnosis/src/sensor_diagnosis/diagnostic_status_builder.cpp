#include "sensor_diagnosis/diagnostic_status_builder.hpp"

#include <cmath>
#include <string_view>
#include <utility>

#include <fmt/format.h>

#include "sensor_diagnosis/stream_health.hpp"
#include "sensor_diagnosis/stream_table.hpp"

namespace kelvaron
{
namespace
{

using diagnostic_msgs::msg::DiagnosticStatus;
using diagnostic_msgs::msg::KeyValue;

constexpr int8_t kVerdictNormal = 1;
constexpr int8_t kVerdictAbnormal = 2;

std::string optionalText(const std::optional<int64_t> & value)
{
  return value ? std::to_string(*value) : std::string();
}

void addValue(DiagnosticStatus & status, std::string key, std::string value)
{
  KeyValue entry;
  entry.key = std::move(key);
  entry.value = std::move(value);
  status.values.push_back(std::move(entry));
}

void appendPart(std::string & message, std::string_view part)
{
  if (!message.empty()) {
    message += ", ";
  }
  message += part;
}

int64_t framesWithinWindow(const std::deque<int64_t> & timestamps, int64_t now_ms)
{
  int64_t count = 0;
  for (auto it = timestamps.rbegin(); it != timestamps.rend(); ++it) {
    if (*it > now_ms) {
      continue;
    }
    if (now_ms - *it > kFrameRateWindowMs) {
      break;
    }
    ++count;
  }
  return count;
}

}  // namespace

StreamFigures streamFigures(
  const std::string & topic, const SensorState & state, const SensorThreshold & threshold,
  int64_t now_ms)
{
  StreamFigures figures;
  figures.topic = topic;
  figures.frame_id = state.last_header.frame_id;
  figures.frames_total = state.frames_total;
  figures.timeout_verdict = state.timeout_verdict;
  figures.frame_rate_verdict = state.frame_rate_verdict;
  figures.frame_rate_spoke = state.frame_rate_spoke;
  figures.frames_in_window = framesWithinWindow(state.timestamps, now_ms);
  figures.normal_hz = threshold.normal_hz;
  figures.low_ratio = threshold.low_ratio;
  if (state.frames_total > 0) {
    figures.since_last_frame_ms = now_ms - state.last_receive_ms;
  }
  figures.cutoff_timeout_ms = threshold.cutoff_timeout_ms;
  figures.header_age_ms = state.header_age_ms;
  figures.max_header_age_ms = threshold.max_header_age_ms;
  figures.run_frames = state.run_frames;
  figures.cutoff_recovery_threshold = threshold.cutoff_recovery_threshold;
  figures.timeouts_total = state.timeouts_total;
  figures.low_rate_spells_total = state.low_rate_spells_total;
  const StreamEventIds ids = streamEventIds(topic);
  figures.timeout_event_id = ids.timeout_id;
  figures.frame_rate_event_id = ids.frame_rate_id;
  return figures;
}

DiagnosticStatus streamStatus(const StreamFigures & figures)
{
  DiagnosticStatus status;
  status.name = std::string(channelInfo(Channel::kSensorProxy).node_name) + ": " + figures.topic;
  status.hardware_id = figures.frame_id;

  if (figures.frames_total == 0) {
    status.level = DiagnosticStatus::STALE;
    status.message = "no frame received yet";
  } else {
    const bool timed_out = figures.timeout_verdict == kVerdictAbnormal;
    const bool low_rate =
      figures.frame_rate_spoke && figures.frame_rate_verdict == kVerdictAbnormal;
    const bool header_too_old = figures.header_age_ms && figures.max_header_age_ms &&
                                *figures.header_age_ms > *figures.max_header_age_ms;
    if (figures.timeout_verdict != 0) {
      appendPart(status.message, timed_out ? kStreamTimeoutText : kStreamNormalText);
    }
    if (figures.frame_rate_spoke) {
      appendPart(status.message, low_rate ? kAbnormalFrameRateText : kNormalFrameRateText);
    }
    if (header_too_old) {
      appendPart(status.message, fmt::format("HEADER AGE {} ms", *figures.header_age_ms));
    }
    status.level = timed_out                    ? DiagnosticStatus::ERROR
                   : low_rate || header_too_old ? DiagnosticStatus::WARN
                                                : DiagnosticStatus::OK;
  }

  const double normal_hz = figures.normal_hz;
  addValue(status, "topic", figures.topic);
  addValue(status, "frame_rate_hz", std::to_string(figures.frames_in_window));
  addValue(status, "normal_hz", formatDecimal(normal_hz));
  addValue(status, "low_limit_hz", formatDecimal(normal_hz * figures.low_ratio));
  addValue(status, "since_last_frame_ms", optionalText(figures.since_last_frame_ms));
  addValue(status, "cutoff_timeout_ms", std::to_string(figures.cutoff_timeout_ms));
  addValue(status, "header_age_ms", optionalText(figures.header_age_ms));
  addValue(status, "max_header_age_ms", optionalText(figures.max_header_age_ms));
  addValue(status, "recovery_run_frames", std::to_string(figures.run_frames));
  addValue(status, "cutoff_recovery_threshold", std::to_string(figures.cutoff_recovery_threshold));
  addValue(status, "frames_total", std::to_string(figures.frames_total));
  addValue(status, "timeouts_total", std::to_string(figures.timeouts_total));
  addValue(status, "low_rate_spells_total", std::to_string(figures.low_rate_spells_total));
  addValue(status, "timeout_event_id", std::to_string(figures.timeout_event_id));
  addValue(status, "frame_rate_event_id", std::to_string(figures.frame_rate_event_id));
  return status;
}

DiagnosticStatus dataStatusStatus(
  const DataStatusKind & kind, int32_t status_value, int64_t since_report_ms)
{
  DiagnosticStatus status;
  status.name = std::string(channelInfo(kind.channel).node_name) + ": " + std::string(kind.name);
  status.level = status_value == 0 ? DiagnosticStatus::OK : DiagnosticStatus::ERROR;
  status.message = std::string(status_value == 0 ? kind.normal_text : kind.abnormal_text);
  addValue(status, "event_id", std::to_string(kind.event_id));
  addValue(status, "status", std::to_string(status_value));
  addValue(status, "since_report_ms", std::to_string(since_report_ms));
  return status;
}

std::string formatDecimal(double value)
{
  if (std::isnan(value)) {
    return "nan";
  }
  if (std::isinf(value)) {
    return value > 0 ? "inf" : "-inf";
  }
  std::string text = fmt::format("{:.3f}", value);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') {
    text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

}  // namespace kelvaron
