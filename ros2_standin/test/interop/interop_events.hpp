#ifndef ROS2_STANDIN__TEST__INTEROP__INTEROP_EVENTS_HPP_
#define ROS2_STANDIN__TEST__INTEROP__INTEROP_EVENTS_HPP_

// The events and diagnostic arrays both sides of the interop test agree on, in plain C++ so
// that the stand-in publisher and the Fast DDS subscriber share them without sharing a
// message type.

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace interop
{

struct EventFields
{
  int32_t sec = 0;
  uint32_t nanosec = 0;
  std::string frame_id;
  int32_t event_id = 0;
  int32_t event_status = 0;
  std::string event_msg;
};

inline bool operator==(const EventFields & a, const EventFields & b)
{
  return std::tie(a.sec, a.nanosec, a.frame_id, a.event_id, a.event_status, a.event_msg) ==
         std::tie(b.sec, b.nanosec, b.frame_id, b.event_id, b.event_status, b.event_msg);
}

inline std::ostream & operator<<(std::ostream & out, const EventFields & e)
{
  return out << "{sec=" << e.sec << " nanosec=" << e.nanosec << " frame_id=\"" << e.frame_id
             << "\" event_id=" << e.event_id << " event_status=" << e.event_status
             << " event_msg=\"" << e.event_msg << "\" (" << e.event_msg.size() << " bytes)}";
}

// One publishing node of the library and the events its topic carries in the test.
struct TopicEvents
{
  std::string topic;
  std::string node;
  std::vector<EventFields> events;
};

// Far beyond the 255 bytes Fast DDS sizes unbounded strings for, with multi-byte UTF-8 of
// two, three and four bytes so that lengths count bytes, not characters.
inline std::string long_utf8_text()
{
  std::string text;
  while (text.size() < 4000) {
    text +=
      "Lidar vorn: Bildrate zu niedrig \xC2\xB7 \xE5\xB8\xA7\xE7\x8E\x87\xE8\xBF\x87\xE4\xBD\x8E "
      "\xF0\x9F\x9A\x97; ";
  }
  return text;
}

inline const std::vector<TopicEvents> & topics()
{
  constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMinInt = std::numeric_limits<int32_t>::min();
  constexpr uint32_t kMaxUint = std::numeric_limits<uint32_t>::max();
  // Frame ids of odd lengths put event_id at every alignment offset that padding must fix.
  static const std::vector<TopicEvents> all{
    {"sensor_proxy_diag_topic",
     "diagnosis_Sensor_Proxy_node",
     {{1700000000, 123456789u, "lidar_front", 8001, 1, "ABNORMAL FRAME RATE"},
      {1700000001, 0u, "", 8002, 0, ""},
      {1700000002, 999999999u, "camera_front_colour", 8014, 2, long_utf8_text()},
      {kMinInt, kMaxUint, "ab", kMinInt, kMaxInt, "\xC3\xBC"},
      {kMaxInt, 1u, "abc", kMaxInt, kMinInt, "x"}}},
    {"chassis_pnc_diag_topic",
     "diagnosis_Chassis_PnC_node",
     {{1700000100, 500000000u, "chassis", 9101, 3, "PNC STATUS ABNORMAL"},
      {1700000101, 42u, "", 9102, 0, ""}}},
    {"chassis_loc_diag_topic",
     "diagnosis_Chassis_Loc_node",
     {{1700000200, 7u, "map", 9201, 0, "LOCALIZATION OK"},
      {-5, 250000000u, "odom", 0, -1, long_utf8_text()}}},
  };
  return all;
}

// diagnostic_msgs/msg/DiagnosticArray, field by field.
struct KeyValueFields
{
  std::string key;
  std::string value;
};

struct StatusFields
{
  uint8_t level = 0;
  std::string name;
  std::string message;
  std::string hardware_id;
  std::vector<KeyValueFields> values;
};

struct DiagnosticArrayFields
{
  int32_t sec = 0;
  uint32_t nanosec = 0;
  std::string frame_id;
  std::vector<StatusFields> status;
};

inline bool operator==(const KeyValueFields & a, const KeyValueFields & b)
{
  return std::tie(a.key, a.value) == std::tie(b.key, b.value);
}

inline bool operator==(const StatusFields & a, const StatusFields & b)
{
  return std::tie(a.level, a.name, a.message, a.hardware_id, a.values) ==
         std::tie(b.level, b.name, b.message, b.hardware_id, b.values);
}

inline bool operator==(const DiagnosticArrayFields & a, const DiagnosticArrayFields & b)
{
  return std::tie(a.sec, a.nanosec, a.frame_id, a.status) ==
         std::tie(b.sec, b.nanosec, b.frame_id, b.status);
}

inline std::ostream & operator<<(std::ostream & out, const DiagnosticArrayFields & a)
{
  out << "{sec=" << a.sec << " nanosec=" << a.nanosec << " frame_id=\"" << a.frame_id << "\"";
  for (const auto & status : a.status) {
    out << " [level=" << static_cast<int>(status.level) << " name=\"" << status.name
        << "\" message=(" << status.message.size() << " bytes) hardware_id=\"" << status.hardware_id
        << "\" values=" << status.values.size() << "]";
  }
  return out << "}";
}

constexpr char kDiagnosticsTopic[] = "/diagnostics";
constexpr char kDiagnosticsNode[] = "interop_diagnostics_node";

inline const std::vector<DiagnosticArrayFields> & diagnostic_arrays()
{
  // More statuses than the 100 elements Fast DDS sizes unbounded sequences for.
  const auto many = [] {
    std::vector<StatusFields> statuses;
    for (int i = 0; i < 150; ++i) {
      const std::string n = std::to_string(i);
      statuses.push_back(
        {static_cast<uint8_t>(i % 4),
         "sensor " + n,
         "",
         "hw" + n,
         {{"index", n}, {"hz", n + ".5"}}});
    }
    return statuses;
  };
  // Strings of odd lengths around the one-byte levels and an empty sequence at each depth.
  static const std::vector<DiagnosticArrayFields> all{
    {1700000300,
     5u,
     "base_link",
     {{1,
       "lidar_front: frame rate",
       "ABNORMAL FRAME RATE",
       "lidar-0042",
       {{"frame_rate_hz", "7.5"}, {"expected_hz", "10"}, {"detail", long_utf8_text()}}},
      {0, "camera_front", "", "", {}},
      {2, "a", "bc", "def", {{"", ""}}},
      {3, "chassis", "STALE", "\xC3\xBC", {{"k", "v"}}}}},
    {0, 0u, "", {}},
    {-1, 999999999u, "map", many()},
  };
  return all;
}

}  // namespace interop

#endif  // ROS2_STANDIN__TEST__INTEROP__INTEROP_EVENTS_HPP_
