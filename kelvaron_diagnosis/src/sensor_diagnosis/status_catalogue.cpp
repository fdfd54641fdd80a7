#include "sensor_diagnosis/status_catalogue.hpp"

#include <array>

namespace kelvaron
{
namespace
{

constexpr std::array<StatusKind, 7> kCatalogue{{
  {"FRONT_2D_LIDAR_STATUS", 8009, "FRONT_2D_LIDAR_NORMAL", "FRONT_2D_LIDAR_ABNORMAL",
   StatusChannel::kSensorProxy},
  {"REAR_2D_LIDAR_STATUS", 8011, "REAR_2D_LIDAR_NORMAL", "REAR_2D_LIDAR_ABNORMAL",
   StatusChannel::kSensorProxy},
  {"PATH_GLOBAL_PLAN_STATUS", 8017, "PATH_GLOBAL_PLAN_NORMAL", "PATH_GLOBAL_PLAN_FAILED",
   StatusChannel::kChassisPnc},
  {"PATH_LOCAL_PLAN_STATUS", 8018, "PATH_LOCAL_PLAN_NORMAL", "PATH_LOCAL_PLAN_FAILED",
   StatusChannel::kChassisPnc},
  {"LOCALIZATION_DEGRADED_STATUS", 8019, "LOCALIZATION_NORMAL", "LOCALIZATION_DEGRADED",
   StatusChannel::kChassisLoc},
  {"LOCALIZATION_LOST_STATUS", 8020, "LOCALIZATION_NORMAL", "LOCALIZATION_LOST",
   StatusChannel::kChassisLoc},
  {"NAV_TO_POINT_STATUS", 8022, "NAV_TO_POINT_NORMAL", "NAV_TO_POINT_FAILED",
   StatusChannel::kChassisPnc},
}};

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
