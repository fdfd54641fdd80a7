#include "sensor_diagnosis/stream_table.hpp"

#include <string_view>

namespace kelvaron
{

// The table's topics are views, so a look-up compares lengths first: every pass looks up every
// sensor twice, and most topics differ from most rows in length.
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
  if (row >= kStreamTableRows) {
    return {0, 0};
  }
  return {kStreamTable[row].timeout_id, kStreamTable[row].frame_rate_id};
}

}  // namespace kelvaron
