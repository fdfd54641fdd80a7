#pragma once

// The vocabulary of the library's events: channels (node and topic), the event ids of the
// monitored streams, the verdict texts and the data-status kinds. The library publishes from
// these tables and a subscriber can read its events with them; nothing here needs ROS.
//
//   for (const auto & stream : kelvaron::kStreamTable) {
//     if (stream.timeout_id == event.event_id) { /* a time-out verdict of stream.topic */ }
//   }

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelvaron
{

// --- Channels: one node and one topic each -------------------------------------------------------

enum class Channel : int32_t
{
  kSensorProxy = 0,  // stream verdicts and the 2D lidar status events
  kChassisPnc = 1,   // path-planning and navigation status events
  kChassisLoc = 2,   // localisation status events
};

struct ChannelInfo
{
  Channel channel;
  std::string_view node_name;
  std::string_view topic;
};

inline constexpr std::array<ChannelInfo, 3> kChannels{{
  {Channel::kSensorProxy, "diagnosis_Sensor_Proxy_node", "sensor_proxy_diag_topic"},
  {Channel::kChassisPnc, "diagnosis_Chassis_PnC_node", "chassis_pnc_diag_topic"},
  {Channel::kChassisLoc, "diagnosis_Chassis_Loc_node", "chassis_loc_diag_topic"},
}};

constexpr const ChannelInfo & channelInfo(Channel channel)
{
  return kChannels[static_cast<std::size_t>(channel)];
}

// --- Stream verdicts, published on the sensor-proxy channel ------------------------------------

inline constexpr std::string_view kStreamNormalText = "STREAM NORMAL";
inline constexpr std::string_view kStreamTimeoutText = "STREAM TIMEOUT";
inline constexpr std::string_view kNormalFrameRateText = "NORMAL FRAME RATE";
inline constexpr std::string_view kAbnormalFrameRateText = "ABNORMAL FRAME RATE";

// The event ids of a stream's two verdicts. Some ids are shared by several topics (their rows
// then name a `group`); 0 means the stream has no id of its own for that verdict, and every
// topic outside the table publishes both verdicts under 0.
struct StreamIds
{
  std::string_view topic;
  int32_t timeout_id;
  int32_t frame_rate_id;
  std::string_view group;  // what the topics sharing an id have in common; empty if none do
};

// The ultrasonic time-out ids of the second to fourth lasers are 8007, 8005, 8006: subscribers
// key on them.
inline constexpr std::array<StreamIds, 12> kStreamTable{{
  {"/scan_01", 8001, 8008, ""},
  {"/scan_02", 8002, 8010, ""},
  {"/rslidar_points", 8003, 8012, ""},
  {"/costmap_input/ultrasonic_laser1", 8004, 8015, "ultrasonic lasers 1-4"},
  {"/costmap_input/ultrasonic_laser2", 8007, 8015, "ultrasonic lasers 1-4"},
  {"/costmap_input/ultrasonic_laser3", 8005, 8015, "ultrasonic lasers 1-4"},
  {"/costmap_input/ultrasonic_laser4", 8006, 8015, "ultrasonic lasers 1-4"},
  {"/camera_02/depth/image_raw", 0, 8013, ""},
  {"/camera_01/color/image_raw", 0, 8014, "colour cameras 01/03"},
  {"/camera_03/color/image_raw", 0, 8014, "colour cameras 01/03"},
  {"/imu/data", 0, 8016, ""},
  {"/robot_base/wheel/odom", 0, 8021, ""},
}};

// The row of `topic` (exact comparison), or nullptr for a topic outside the table.
constexpr const StreamIds * findStream(std::string_view topic)
{
  for (const StreamIds & row : kStreamTable) {
    if (row.topic == topic) {
      return &row;
    }
  }
  return nullptr;
}

// How many rows use `event_id` for either verdict (0 for an id that is not a stream's).
constexpr std::size_t streamsWithEventId(int32_t event_id)
{
  std::size_t count = 0;
  for (const StreamIds & row : kStreamTable) {
    count += event_id != 0 && (row.timeout_id == event_id || row.frame_rate_id == event_id);
  }
  return count;
}

// --- Data-status kinds, reported by the host --------------------------------------------------

struct DataStatusKind
{
  int32_t value;  // the AbnormalEventType value
  std::string_view name;
  int32_t event_id;
  Channel channel;
  std::string_view normal_text;    // published for status 0
  std::string_view abnormal_text;  // published for any other status
};

inline constexpr std::array<DataStatusKind, 7> kDataStatusKinds{{
  {0, "FRONT_2D_LIDAR_STATUS", 8009, Channel::kSensorProxy, "FRONT_2D_LIDAR_NORMAL",
   "FRONT_2D_LIDAR_ABNORMAL"},
  {1, "REAR_2D_LIDAR_STATUS", 8011, Channel::kSensorProxy, "REAR_2D_LIDAR_NORMAL",
   "REAR_2D_LIDAR_ABNORMAL"},
  {2, "PATH_GLOBAL_PLAN_STATUS", 8017, Channel::kChassisPnc, "PATH_GLOBAL_PLAN_NORMAL",
   "PATH_GLOBAL_PLAN_FAILED"},
  {3, "PATH_LOCAL_PLAN_STATUS", 8018, Channel::kChassisPnc, "PATH_LOCAL_PLAN_NORMAL",
   "PATH_LOCAL_PLAN_FAILED"},
  {4, "LOCALIZATION_DEGRADED_STATUS", 8019, Channel::kChassisLoc, "LOCALIZATION_NORMAL",
   "LOCALIZATION_DEGRADED"},
  {5, "LOCALIZATION_LOST_STATUS", 8020, Channel::kChassisLoc, "LOCALIZATION_NORMAL",
   "LOCALIZATION_LOST"},
  {6, "NAV_TO_POINT_STATUS", 8022, Channel::kChassisPnc, "NAV_TO_POINT_NORMAL",
   "NAV_TO_POINT_FAILED"},
}};

// The kind published under `event_id`, or nullptr when no kind uses it.
constexpr const DataStatusKind * findDataStatusKind(int32_t event_id)
{
  for (const DataStatusKind & kind : kDataStatusKinds) {
    if (kind.event_id == event_id) {
      return &kind;
    }
  }
  return nullptr;
}

}  // namespace kelvaron
