// The data-status catalogue and its per-key rate limit, with chosen times.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unordered_map>

#include "sensor_diagnosis/status_catalogue.hpp"

namespace
{

using kelvaron::StatusChannel;

TEST(StatusCatalogue, EveryKindHasItsKeyIdTextsAndChannel)
{
  struct Row
  {
    AbnormalEventType kind;
    const char * key;
    int32_t id;
    const char * normal;
    const char * abnormal;
    StatusChannel channel;
  };
  const Row rows[] = {
    {FRONT_2D_LIDAR_STATUS, "FRONT_2D_LIDAR_STATUS", 8009, "FRONT_2D_LIDAR_NORMAL",
     "FRONT_2D_LIDAR_ABNORMAL", StatusChannel::kSensorProxy},
    {REAR_2D_LIDAR_STATUS, "REAR_2D_LIDAR_STATUS", 8011, "REAR_2D_LIDAR_NORMAL",
     "REAR_2D_LIDAR_ABNORMAL", StatusChannel::kSensorProxy},
    {PATH_GLOBAL_PLAN_STATUS, "PATH_GLOBAL_PLAN_STATUS", 8017, "PATH_GLOBAL_PLAN_NORMAL",
     "PATH_GLOBAL_PLAN_FAILED", StatusChannel::kChassisPnc},
    {PATH_LOCAL_PLAN_STATUS, "PATH_LOCAL_PLAN_STATUS", 8018, "PATH_LOCAL_PLAN_NORMAL",
     "PATH_LOCAL_PLAN_FAILED", StatusChannel::kChassisPnc},
    {LOCALIZATION_DEGRADED_STATUS, "LOCALIZATION_DEGRADED_STATUS", 8019, "LOCALIZATION_NORMAL",
     "LOCALIZATION_DEGRADED", StatusChannel::kChassisLoc},
    {LOCALIZATION_LOST_STATUS, "LOCALIZATION_LOST_STATUS", 8020, "LOCALIZATION_NORMAL",
     "LOCALIZATION_LOST", StatusChannel::kChassisLoc},
    {NAV_TO_POINT_STATUS, "NAV_TO_POINT_STATUS", 8022, "NAV_TO_POINT_NORMAL", "NAV_TO_POINT_FAILED",
     StatusChannel::kChassisPnc},
  };
  for (const Row & row : rows) {
    const kelvaron::StatusKind & kind = kelvaron::statusKind(row.kind);
    EXPECT_STREQ(kind.key, row.key);
    EXPECT_EQ(kind.event_id, row.id) << row.key;
    EXPECT_STREQ(kind.normal_text, row.normal);
    EXPECT_STREQ(kind.abnormal_text, row.abnormal);
    EXPECT_EQ(kind.channel, row.channel) << row.key;
  }
  // Hosts may name the kinds both ways.
  EXPECT_EQ(AbnormalEventType::NAV_TO_POINT_STATUS, NAV_TO_POINT_STATUS);
}

TEST(StatusCatalogue, KindsOutsideTheEnumerationAreUnknownAndUnpublished)
{
  for (int32_t value : {7, -1, 100, -2147483647}) {
    const kelvaron::StatusKind & kind = kelvaron::statusKind(static_cast<AbnormalEventType>(value));
    EXPECT_STREQ(kind.key, "UNKNOWN_EVENT") << value;
    EXPECT_EQ(kind.event_id, 0);
    EXPECT_STREQ(kind.normal_text, "UNKNOWN_EVENT");
    EXPECT_STREQ(kind.abnormal_text, "UNKNOWN_EVENT");
    EXPECT_EQ(kind.channel, StatusChannel::kNone);
  }
}

TEST(StatusCatalogue, RateLimitKeyStringIsTheEntrysKey)
{
  for (int32_t value : {0, 1, 2, 3, 4, 5, 6, 7, -1, 100}) {
    const auto kind = static_cast<AbnormalEventType>(value);
    EXPECT_EQ(kelvaron::statusKey(kind), kelvaron::statusKind(kind).key) << value;
  }
}

TEST(StatusRateLimit, SameKey999MsApartIsDropped1000MsApartIsAccepted)
{
  std::unordered_map<std::string, int64_t> times;
  EXPECT_TRUE(kelvaron::admitStatusReport(times, "A", 10'000));
  EXPECT_FALSE(kelvaron::admitStatusReport(times, "A", 10'999));
  EXPECT_EQ(times.at("A"), 10'000) << "a dropped report records nothing";
  EXPECT_TRUE(kelvaron::admitStatusReport(times, "A", 11'000));
  EXPECT_EQ(times.at("A"), 11'000);
}

TEST(StatusRateLimit, KeysAreLimitedIndependently)
{
  std::unordered_map<std::string, int64_t> times;
  EXPECT_TRUE(kelvaron::admitStatusReport(times, "LOCALIZATION_DEGRADED_STATUS", 5'000));
  EXPECT_TRUE(kelvaron::admitStatusReport(times, "LOCALIZATION_LOST_STATUS", 5'000));
  EXPECT_FALSE(kelvaron::admitStatusReport(times, "LOCALIZATION_LOST_STATUS", 5'000));
  EXPECT_EQ(times.size(), 2U);
}

}  // namespace
