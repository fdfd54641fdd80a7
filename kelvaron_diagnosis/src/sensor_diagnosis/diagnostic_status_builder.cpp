#include "sensor_diagnosis/diagnostic_status_builder.hpp"

#include <array>
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

constexpr std::size_t kStreamValueCount = 15;

// Numbers are written into the value's own buffer, so a reused value allocates nothing.
void setNumber(std::string & text, int64_t value)
{
  const fmt::format_int digits(value);
  text.assign(digits.data(), digits.size());
}

void setOptional(std::string & text, const std::optional<int64_t> & value)
{
  if (value) {
    setNumber(text, *value);
  } else {
    text.clear();
  }
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

bool headerTooOld(const StreamFigures & figures)
{
  return figures.header_age_ms && figures.max_header_age_ms &&
         *figures.header_age_ms > *figures.max_header_age_ms;
}

}  // namespace

uint8_t streamLevel(const StreamFigures & figures)
{
  if (figures.waiting_for_clock || figures.frames_total == 0 || figures.timeout_verdict == 0) {
    return DiagnosticStatus::STALE;
  }
  if (figures.timeout_verdict == kVerdictAbnormal) {
    return DiagnosticStatus::ERROR;
  }
  // The level follows the latest frame-rate verdict even through a pass that published none (a
  // spell still within its hold time, an emptied window).
  if (figures.frame_rate_verdict == kVerdictAbnormal || headerTooOld(figures)) {
    return DiagnosticStatus::WARN;
  }
  return DiagnosticStatus::OK;
}

void fillStreamFigures(
  const std::string & topic, const SensorState & state, const SensorThreshold & threshold,
  int64_t now_ms, StreamFigures & figures)
{
  figures.topic.assign(topic);
  figures.frame_id.assign(state.last_header.frame_id);
  figures.frames_total = state.frames_total;
  figures.timeout_verdict = state.timeout_verdict;
  figures.frame_rate_verdict = state.frame_rate_verdict;
  figures.frame_rate_spoke = state.frame_rate_spoke;
  figures.frames_in_window = framesWithinWindow(state.timestamps, now_ms);
  figures.normal_hz = threshold.normal_hz;
  figures.low_ratio = threshold.low_ratio;
  figures.since_last_frame_ms.reset();
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
  figures.waiting_for_clock = false;
}

StreamFigures streamFigures(
  const std::string & topic, const SensorState & state, const SensorThreshold & threshold,
  int64_t now_ms)
{
  StreamFigures figures;
  fillStreamFigures(topic, state, threshold, now_ms, figures);
  return figures;
}

void fillStreamStatus(const StreamFigures & figures, DiagnosticStatus & status)
{
  static constexpr std::array<const char *, kStreamValueCount> kKeys{
    {"topic", "frame_rate_hz", "normal_hz", "low_limit_hz", "since_last_frame_ms",
     "cutoff_timeout_ms", "header_age_ms", "max_header_age_ms", "recovery_run_frames",
     "cutoff_recovery_threshold", "frames_total", "timeouts_total", "low_rate_spells_total",
     "timeout_event_id", "frame_rate_event_id"}};
  if (status.values.size() != kKeys.size()) {
    status.values.resize(kKeys.size());
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      status.values[i].key = kKeys[i];
    }
  }

  const std::string_view node_name = channelInfo(Channel::kSensorProxy).node_name;
  status.name.assign(node_name).append(": ").append(figures.topic);
  status.hardware_id.assign(figures.frame_id);
  status.level = streamLevel(figures);
  status.message.clear();
  if (figures.waiting_for_clock) {
    status.message.assign("waiting for /clock");
  } else if (figures.frames_total == 0) {
    status.message.assign("no frame received yet");
  } else if (figures.timeout_verdict == 0) {
    // Frames arrived (a registration between a pass and its snapshot) but no pass judged them.
    status.message.assign("not judged yet");
  } else {
    // The message names only what the latest pass published.
    appendPart(
      status.message,
      figures.timeout_verdict == kVerdictAbnormal ? kStreamTimeoutText : kStreamNormalText);
    if (figures.frame_rate_spoke) {
      appendPart(
        status.message, figures.frame_rate_verdict == kVerdictAbnormal ? kAbnormalFrameRateText
                                                                       : kNormalFrameRateText);
    }
    if (headerTooOld(figures)) {
      appendPart(status.message, fmt::format("HEADER AGE {} ms", *figures.header_age_ms));
    }
  }

  const double normal_hz = figures.normal_hz;
  auto & values = status.values;
  values[0].value.assign(figures.topic);
  setNumber(values[1].value, figures.frames_in_window);
  values[2].value.assign(formatDecimal(normal_hz));
  values[3].value.assign(formatDecimal(normal_hz * figures.low_ratio));
  setOptional(values[4].value, figures.since_last_frame_ms);
  setNumber(values[5].value, figures.cutoff_timeout_ms);
  setOptional(values[6].value, figures.header_age_ms);
  setOptional(values[7].value, figures.max_header_age_ms);
  setNumber(values[8].value, figures.run_frames);
  setNumber(values[9].value, figures.cutoff_recovery_threshold);
  setNumber(values[10].value, figures.frames_total);
  setNumber(values[11].value, figures.timeouts_total);
  setNumber(values[12].value, figures.low_rate_spells_total);
  setNumber(values[13].value, figures.timeout_event_id);
  setNumber(values[14].value, figures.frame_rate_event_id);
}

DiagnosticStatus streamStatus(const StreamFigures & figures)
{
  DiagnosticStatus status;
  fillStreamStatus(figures, status);
  return status;
}

DiagnosticStatus dataStatusStatus(
  const DataStatusKind & kind, int32_t status_value, std::optional<int64_t> since_report_ms)
{
  DiagnosticStatus status;
  status.name = std::string(channelInfo(kind.channel).node_name) + ": " + std::string(kind.name);
  status.level = status_value == 0 ? DiagnosticStatus::OK : DiagnosticStatus::ERROR;
  status.message = std::string(status_value == 0 ? kind.normal_text : kind.abnormal_text);
  addValue(status, "event_id", std::to_string(kind.event_id));
  addValue(status, "status", std::to_string(status_value));
  addValue(
    status, "since_report_ms", since_report_ms ? std::to_string(*since_report_ms) : std::string());
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
