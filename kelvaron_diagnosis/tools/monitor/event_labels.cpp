#include "event_labels.hpp"

#include "sensor_diagnosis/status_catalogue.hpp"
#include "sensor_diagnosis/stream_table.hpp"

namespace kelvaron::monitor
{
namespace
{

std::string streamLabel(int32_t event_id, const std::string & event_msg)
{
  const bool is_timeout_text = event_msg == "STREAM TIMEOUT" || event_msg == "STREAM NORMAL";
  if (event_id == 0) {
    return is_timeout_text ? "time-out of a stream without id"
                           : "frame rate of a stream without id";
  }
  if (event_id == 8015) {
    return "frame rate, ultrasonic lasers 1-4";
  }
  if (event_id == 8014) {
    return "frame rate, colour cameras 01/03";
  }
  for (std::size_t row = 0; row < kStreamTableRows; ++row) {
    const StreamEventIds ids = streamEventIds(row);
    if (ids.timeout_id == event_id) {
      return std::string("time-out ") + streamTopic(row);
    }
    if (ids.frame_rate_id == event_id) {
      return std::string("frame rate ") + streamTopic(row);
    }
  }
  return "";
}

std::string statusKindLabel(int32_t event_id)
{
  for (int32_t kind = 0; kind <= NAV_TO_POINT_STATUS; ++kind) {
    const StatusKind & entry = statusKind(static_cast<AbnormalEventType>(kind));
    if (entry.event_id == event_id) {
      return entry.key;
    }
  }
  return "";
}

}  // namespace

std::string eventLabel(const std::string & topic, int32_t event_id, const std::string & event_msg)
{
  std::string label = statusKindLabel(event_id);
  if (label.empty() && topic == "sensor_proxy_diag_topic") {
    label = streamLabel(event_id, event_msg);
  }
  return label.empty() ? "event " + std::to_string(event_id) : label;
}

const char * statusName(int32_t event_status) { return event_status == 0 ? "NORMAL" : "ABNORMAL"; }

}  // namespace kelvaron::monitor
