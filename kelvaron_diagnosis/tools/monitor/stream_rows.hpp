#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <diagnostic_msgs/msg/diagnostic_array.hpp>

namespace kelvaron::monitor
{

// One monitored stream as the library's /diagnostics output describes it.
struct StreamRow
{
  std::string topic;
  uint8_t level{0};
  std::string message;
  std::string frame_rate_hz;        // frames in the last second
  std::string low_limit_hz;         // below this the rate is low
  std::string since_last_frame_ms;  // empty before the first frame
  std::string frame_id;
  std::chrono::steady_clock::time_point updated{};
};

// The streams of the latest /diagnostics array of the library; other statuses (data-status
// kinds, other publishers' statuses) are left to the event rows.
class StreamRows
{
public:
  void update(
    const diagnostic_msgs::msg::DiagnosticArray & array,
    std::chrono::steady_clock::time_point received_at);
  // In topic order; empty once the arrays have stopped (the output was switched off): nothing
  // arrived for three of their intervals, and never less than three seconds.
  std::vector<StreamRow> rows(std::chrono::steady_clock::time_point now) const;

private:
  std::map<std::string, StreamRow> rows_;
  std::chrono::steady_clock::time_point last_update_{};
  std::chrono::steady_clock::duration interval_{};
};

// "OK", "WARN", "ERROR", "STALE" (or the number of an unknown level).
std::string levelName(uint8_t level);

}  // namespace kelvaron::monitor
