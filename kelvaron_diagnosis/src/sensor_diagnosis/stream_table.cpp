#include "sensor_diagnosis/stream_table.hpp"

#include <array>
#include <string_view>

namespace kelvaron
{
namespace
{

struct StreamRow
{
  // A view, so that a look-up compares lengths first: every pass looks up every sensor twice,
  // and most topics differ from most rows in length.
  std::string_view topic;
  StreamEventIds ids;
};

// The ultrasonic time-out ids of rows 4 to 6 are 8007, 8005, 8006: subscribers key on them.
constexpr std::array<StreamRow, kStreamTableRows + 1> kStreamTable{{
  {"/scan_01", {8001, 8008}},
  {"/scan_02", {8002, 8010}},
  {"/rslidar_points", {8003, 8012}},
  {"/costmap_input/ultrasonic_laser1", {8004, 8015}},
  {"/costmap_input/ultrasonic_laser2", {8007, 8015}},
  {"/costmap_input/ultrasonic_laser3", {8005, 8015}},
  {"/costmap_input/ultrasonic_laser4", {8006, 8015}},
  {"/camera_02/depth/image_raw", {0, 8013}},
  {"/camera_01/color/image_raw", {0, 8014}},
  {"/camera_03/color/image_raw", {0, 8014}},
  {"/imu/data", {0, 8016}},
  {"/robot_base/wheel/odom", {0, 8021}},
  {"", {0, 0}},
}};

}  // namespace

std::size_t streamIndex(const std::string & topic)
{
  for (std::size_t row = 0; row < kStreamTableRows; ++row) {
    if (std::string_view(topic) == kStreamTable[row].topic) {
      return row;
    }
  }
  return kStreamTableRows;
}

const char * streamTopic(std::size_t row)
{
  // The views are of string literals, so they end in a NUL.
  return row < kStreamTableRows ? kStreamTable[row].topic.data() : "";
}

StreamEventIds streamEventIds(std::size_t row)
{
  return kStreamTable[row < kStreamTableRows ? row : kStreamTableRows].ids;
}

}  // namespace kelvaron
