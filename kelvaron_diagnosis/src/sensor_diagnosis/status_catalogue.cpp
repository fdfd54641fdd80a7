#include "sensor_diagnosis/status_catalogue.hpp"

#include <array>

namespace kelvaron
{
namespace
{

constexpr StatusChannel statusChannel(Channel channel)
{
  switch (channel) {
    case Channel::kSensorProxy:
      return StatusChannel::kSensorProxy;
    case Channel::kChassisPnc:
      return StatusChannel::kChassisPnc;
    case Channel::kChassisLoc:
      return StatusChannel::kChassisLoc;
  }
  return StatusChannel::kNone;
}

// The installed catalogue's entries, in AbnormalEventType order. Their views are of string
// literals, so they end in a NUL.
constexpr std::array<StatusKind, kDataStatusKinds.size()> kCatalogue = [] {
  std::array<StatusKind, kDataStatusKinds.size()> made{};
  for (std::size_t row = 0; row < made.size(); ++row) {
    const DataStatusKind & kind = kDataStatusKinds[row];
    made[row] = {
      kind.name.data(), kind.event_id, kind.normal_text.data(), kind.abnormal_text.data(),
      statusChannel(kind.channel)};
  }
  return made;
}();

static_assert(kDataStatusKinds[FRONT_2D_LIDAR_STATUS].value == FRONT_2D_LIDAR_STATUS);
static_assert(kDataStatusKinds[REAR_2D_LIDAR_STATUS].value == REAR_2D_LIDAR_STATUS);
static_assert(kDataStatusKinds[PATH_GLOBAL_PLAN_STATUS].value == PATH_GLOBAL_PLAN_STATUS);
static_assert(kDataStatusKinds[PATH_LOCAL_PLAN_STATUS].value == PATH_LOCAL_PLAN_STATUS);
static_assert(kDataStatusKinds[LOCALIZATION_DEGRADED_STATUS].value == LOCALIZATION_DEGRADED_STATUS);
static_assert(kDataStatusKinds[LOCALIZATION_LOST_STATUS].value == LOCALIZATION_LOST_STATUS);
static_assert(kDataStatusKinds[NAV_TO_POINT_STATUS].value == NAV_TO_POINT_STATUS);
static_assert(kDataStatusKinds.size() == NAV_TO_POINT_STATUS + 1);

constexpr StatusKind kUnknownKind{
  "UNKNOWN_EVENT", 0, "UNKNOWN_EVENT", "UNKNOWN_EVENT", StatusChannel::kNone};

}  // namespace

const StatusKind & statusKind(AbnormalEventType kind)
{
  const auto value = static_cast<int32_t>(kind);
  if (value < 0 || value >= static_cast<int32_t>(kCatalogue.size())) {
    return kUnknownKind;
  }
  return kCatalogue[static_cast<std::size_t>(value)];
}

const std::string & statusKey(AbnormalEventType kind)
{
  static const std::array<std::string, kCatalogue.size() + 1> keys = [] {
    std::array<std::string, kCatalogue.size() + 1> made;
    for (std::size_t row = 0; row < kCatalogue.size(); ++row) {
      made[row] = kCatalogue[row].key;
    }
    made.back() = kUnknownKind.key;
    return made;
  }();
  const auto value = static_cast<int32_t>(kind);
  if (value < 0 || value >= static_cast<int32_t>(kCatalogue.size())) {
    return keys.back();
  }
  return keys[static_cast<std::size_t>(value)];
}

bool admitStatusReport(
  std::unordered_map<std::string, int64_t> & last_accepted_ms, const std::string & key,
  int64_t now_ms)
{
  const auto previous = last_accepted_ms.find(key);
  if (previous != last_accepted_ms.end()) {
    // A recorded time after now predates a backward clock step; honouring it would silence
    // the key for as long as the step.
    const bool recorded_in_future = previous->second > now_ms;
    if (!recorded_in_future && now_ms - previous->second < kStatusReportMinIntervalMs) {
      return false;
    }
    previous->second = now_ms;
    return true;
  }
  last_accepted_ms.emplace(key, now_ms);
  return true;
}

}  // namespace kelvaron
