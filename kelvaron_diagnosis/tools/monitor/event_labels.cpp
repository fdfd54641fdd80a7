#include "event_labels.hpp"

#include <kelvaron_diagnosis/event_catalog.hpp>

namespace kelvaron::monitor
{
namespace
{

std::string streamLabel(int32_t event_id, const std::string & event_msg)
{
  if (event_id == 0) {
    const bool is_timeout_text = event_msg == kStreamTimeoutText || event_msg == kStreamNormalText;
    return is_timeout_text ? "time-out of a stream without id"
                           : "frame rate of a stream without id";
  }
  // An id that several topics share names what they have in common.
  const bool shared = streamsWithEventId(event_id) > 1;
  for (const StreamIds & row : kStreamTable) {
    if (row.timeout_id == event_id) {
      return "time-out " + std::string(shared ? row.group : row.topic);
    }
    if (row.frame_rate_id == event_id) {
      return shared ? "frame rate, " + std::string(row.group)
                    : "frame rate " + std::string(row.topic);
    }
  }
  return "";
}

}  // namespace

std::string eventLabel(const std::string & topic, int32_t event_id, const std::string & event_msg)
{
  std::string label;
  if (const DataStatusKind * kind = findDataStatusKind(event_id)) {
    label = kind->name;
  } else if (topic == channelInfo(Channel::kSensorProxy).topic) {
    label = streamLabel(event_id, event_msg);
  }
  return label.empty() ? "event " + std::to_string(event_id) : label;
}

const char * statusName(int32_t event_status) { return event_status == 0 ? "NORMAL" : "ABNORMAL"; }

}  // namespace kelvaron::monitor
