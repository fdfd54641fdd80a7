#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "kelvaron_diagnosis/event_catalog.hpp"

namespace kelvaron
{

// Event ids of one monitored stream: one for the time-out verdict, one for the frame-rate one.
struct StreamEventIds
{
  int32_t timeout_id;
  int32_t frame_rate_id;
};

// Rows of the fixed stream table; any other topic maps to the row after the last, whose ids
// are both 0.
constexpr std::size_t kStreamTableRows = kStreamTable.size();

// Row of `topic` in the stream table (exact comparison), or kStreamTableRows for other topics.
std::size_t streamIndex(const std::string & topic);

// The topic name of a row, for tools that list the table.
const char * streamTopic(std::size_t row);

StreamEventIds streamEventIds(std::size_t row);
inline StreamEventIds streamEventIds(const std::string & topic)
{
  return streamEventIds(streamIndex(topic));
}

}  // namespace kelvaron
