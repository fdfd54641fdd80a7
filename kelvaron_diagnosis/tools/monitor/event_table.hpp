#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace kelvaron::monitor
{

// One row of the live view: the events of one topic, id and frame.
struct EventRow
{
  std::string topic;
  int32_t event_id{0};
  std::string frame_id;
  std::string label;
  int32_t last_status{0};
  std::string last_text;
  std::chrono::steady_clock::time_point last_seen{};
  uint64_t count{0};
  uint64_t abnormal_count{0};
};

// Aggregates received events into rows, in a stable order (topic, id, frame).
class EventTable
{
public:
  void add(
    const std::string & topic, int32_t event_id, int32_t event_status, const std::string & text,
    const std::string & frame_id, std::chrono::steady_clock::time_point received_at);

  std::vector<EventRow> rows() const;
  uint64_t total() const { return total_; }

private:
  // A stream outside the table publishes its time-out and its frame rate both under id 0,
  // so the kind of verdict is part of the key.
  using Key = std::tuple<std::string, int32_t, std::string, int>;
  std::map<Key, EventRow> rows_;
  uint64_t total_{0};
};

}  // namespace kelvaron::monitor
