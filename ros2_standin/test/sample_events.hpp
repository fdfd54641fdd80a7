#ifndef ROS2_STANDIN__TEST__SAMPLE_EVENTS_HPP_
#define ROS2_STANDIN__TEST__SAMPLE_EVENTS_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"

namespace standin_test
{

constexpr char kTopic[] = "sensor_proxy_diag_topic";
constexpr char kDdsTopic[] = "rt/sensor_proxy_diag_topic";
constexpr char kDdsTypeName[] = "brimtale_protocol::msg::dds_::DiagnosticEvent_";
constexpr char kDiagnosticsTopic[] = "/diagnostics";
constexpr char kDiagnosticsDdsTopic[] = "rt/diagnostics";
constexpr char kDiagnosticsDdsTypeName[] = "diagnostic_msgs::msg::dds_::DiagnosticArray_";

// Event `index` of a test run. The frame id "lidar" (6 bytes with its NUL) makes event_id
// need two bytes of padding, which checks that alignment counts from after the header.
inline brimtale_protocol::msg::DiagnosticEvent sample_event(int index)
{
  brimtale_protocol::msg::DiagnosticEvent event;
  event.header.stamp.sec = 1700000000 + index;
  event.header.stamp.nanosec = 123456789u;
  event.header.frame_id = "lidar";
  event.event_id = 8001 + index;
  event.event_status = index % 2;
  event.event_msg = "ABNORMAL FRAME RATE";
  return event;
}

inline diagnostic_msgs::msg::KeyValue key_value(const std::string & key, const std::string & value)
{
  diagnostic_msgs::msg::KeyValue pair;
  pair.key = key;
  pair.value = value;
  return pair;
}

// Array `index` of a test run: a status with two values and one with none. Strings of odd
// lengths and the one-byte levels put every field at an offset that padding must fix.
inline diagnostic_msgs::msg::DiagnosticArray sample_diagnostics(int index)
{
  using diagnostic_msgs::msg::DiagnosticStatus;
  diagnostic_msgs::msg::DiagnosticArray array;
  array.header.stamp.sec = 1700000000 + index;
  array.header.stamp.nanosec = 123456789u;
  array.header.frame_id = "lidar";
  DiagnosticStatus lidar;
  lidar.level = DiagnosticStatus::WARN;
  lidar.name = "lidar: fps";
  lidar.message = "low";
  lidar.hardware_id = "L1";
  lidar.values = {key_value("hz", "7.5"), key_value("min", "10")};
  DiagnosticStatus camera;
  camera.level = DiagnosticStatus::STALE;
  camera.name = "cam";
  array.status = {lidar, camera};
  return array;
}

// The byte image ROS 2 gives sample_event(0), written out by hand.
inline std::vector<unsigned char> expected_cdr_of_sample_event_0()
{
  std::vector<unsigned char> bytes = {
    0x00, 0x01, 0x00, 0x00,             // encapsulation: CDR little-endian, no options
    0x00, 0xF1, 0x53, 0x65,             // header.stamp.sec = 1700000000
    0x15, 0xCD, 0x5B, 0x07,             // header.stamp.nanosec = 123456789
    0x06, 0x00, 0x00, 0x00,             // header.frame_id length, NUL included
    'l',  'i',  'd',  'a',  'r', 0x00,  // "lidar" and NUL
    0x00, 0x00,                         // pad: offset 18 -> 20 after the header
    0x41, 0x1F, 0x00, 0x00,             // event_id = 8001
    0x00, 0x00, 0x00, 0x00,             // event_status = 0
    0x14, 0x00, 0x00, 0x00,             // event_msg length 20, NUL included
  };
  const char text[] = "ABNORMAL FRAME RATE";
  bytes.insert(bytes.end(), text, text + sizeof(text));
  return bytes;
}

// One line per event, as the peer program prints them.
inline std::string describe(const brimtale_protocol::msg::DiagnosticEvent & event)
{
  return "event id=" + std::to_string(event.event_id) +
         " status=" + std::to_string(event.event_status) + " msg=" + event.event_msg +
         " frame=" + event.header.frame_id + " sec=" + std::to_string(event.header.stamp.sec) +
         " nanosec=" + std::to_string(event.header.stamp.nanosec) + "\n";
}

}  // namespace standin_test

#endif  // ROS2_STANDIN__TEST__SAMPLE_EVENTS_HPP_
