#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "kelvaron_diagnosis/event_catalog.hpp"
#include "sensor_diagnosis.hpp"

namespace kelvaron
{

enum class StatusChannel
{
  kSensorProxy,
  kChassisPnc,
  kChassisLoc,
  kNone,  // unknown kinds are logged but never published
};

// What the library attaches to one kind of data-status report.
struct StatusKind
{
  const char * key{""};  // rate-limit key
  int32_t event_id{0};
  const char * normal_text{""};
  const char * abnormal_text{""};
  StatusChannel channel{StatusChannel::kNone};
};

// The catalogue entry of `kind`; kinds outside the enumeration share the "UNKNOWN_EVENT" entry.
const StatusKind & statusKind(AbnormalEventType kind);

// The rate-limit key of `kind` (its entry's `key`) as a string made once, so that a report
// looks its key up without building one.
const std::string & statusKey(AbnormalEventType kind);

// Reports of one key closer than this to the last accepted one are dropped.
constexpr int64_t kStatusReportMinIntervalMs = 1000;

// Applies the per-key rate limit at `now_ms`, recording the time when the report is accepted.
bool admitStatusReport(
  std::unordered_map<std::string, int64_t> & last_accepted_ms, const std::string & key,
  int64_t now_ms);

}  // namespace kelvaron
