#include "stream_rows.hpp"

#include <algorithm>
#include <utility>

#include <kelvaron_diagnosis/event_catalog.hpp>

namespace kelvaron::monitor
{

void StreamRows::update(
  const diagnostic_msgs::msg::DiagnosticArray & array,
  std::chrono::steady_clock::time_point received_at)
{
  const std::string prefix = std::string(channelInfo(Channel::kSensorProxy).node_name) + ": ";
  std::map<std::string, StreamRow> rows;
  for (const auto & status : array.status) {
    if (status.name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    // Data-status kinds of the same node (the lidars) carry no "topic" value.
    StreamRow row;
    row.level = status.level;
    row.message = status.message;
    row.frame_id = status.hardware_id;
    row.updated = received_at;
    for (const auto & value : status.values) {
      if (value.key == "topic") {
        row.topic = value.value;
      } else if (value.key == "frame_rate_hz") {
        row.frame_rate_hz = value.value;
      } else if (value.key == "low_limit_hz") {
        row.low_limit_hz = value.value;
      } else if (value.key == "since_last_frame_ms") {
        row.since_last_frame_ms = value.value;
      }
    }
    if (!row.topic.empty()) {
      rows[row.topic] = std::move(row);
    }
  }
  if (rows.empty()) {
    return;  // an array of somebody else's
  }
  // Each array lists every registered stream: one missing from it is no longer monitored.
  rows_ = std::move(rows);
  if (last_update_ != std::chrono::steady_clock::time_point{}) {
    interval_ = received_at - last_update_;
  }
  last_update_ = received_at;
}

std::vector<StreamRow> StreamRows::rows(std::chrono::steady_clock::time_point now) const
{
  const auto stale_after =
    std::max<std::chrono::steady_clock::duration>(std::chrono::seconds(3), 3 * interval_);
  std::vector<StreamRow> rows;
  if (rows_.empty() || now - last_update_ > stale_after) {
    return rows;
  }
  rows.reserve(rows_.size());
  for (const auto & entry : rows_) {
    rows.push_back(entry.second);
  }
  return rows;
}

std::string levelName(uint8_t level)
{
  switch (level) {
    case diagnostic_msgs::msg::DiagnosticStatus::OK:
      return "OK";
    case diagnostic_msgs::msg::DiagnosticStatus::WARN:
      return "WARN";
    case diagnostic_msgs::msg::DiagnosticStatus::ERROR:
      return "ERROR";
    case diagnostic_msgs::msg::DiagnosticStatus::STALE:
      return "STALE";
    default:
      return std::to_string(level);
  }
}

}  // namespace kelvaron::monitor
