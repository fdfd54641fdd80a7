#include "event_table.hpp"

#include "event_labels.hpp"

namespace kelvaron::monitor
{
namespace
{

int verdictKind(const std::string & text)
{
  if (text == "STREAM TIMEOUT" || text == "STREAM NORMAL") {
    return 1;
  }
  if (text == "ABNORMAL FRAME RATE" || text == "NORMAL FRAME RATE") {
    return 2;
  }
  return 0;
}

}  // namespace

void EventTable::add(
  const std::string & topic, int32_t event_id, int32_t event_status, const std::string & text,
  const std::string & frame_id, std::chrono::steady_clock::time_point received_at)
{
  EventRow & row = rows_[Key{topic, event_id, frame_id, verdictKind(text)}];
  if (row.count == 0) {
    row.topic = topic;
    row.event_id = event_id;
    row.frame_id = frame_id;
  }
  row.label = eventLabel(topic, event_id, text);
  row.last_status = event_status;
  row.last_text = text;
  row.last_seen = received_at;
  ++row.count;
  row.abnormal_count += event_status != 0;
  ++total_;
}

std::vector<EventRow> EventTable::rows() const
{
  std::vector<EventRow> out;
  out.reserve(rows_.size());
  for (const auto & entry : rows_) {
    out.push_back(entry.second);
  }
  return out;
}

}  // namespace kelvaron::monitor
