#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "event_table.hpp"
#include "stream_rows.hpp"

namespace kelvaron::monitor
{

struct TextLayout
{
  std::size_t width{0};   // characters per line, longer lines are cut; 0: no limit
  std::size_t height{0};  // rows of the terminal, 0 for unlimited
  bool colour{false};     // ANSI colour for the status column
};

// A fixed-width table: one line per row, latest status, text, age, counts. When /diagnostics
// described the streams, they come first, one line per topic, and the event rows keep only the
// data-status kinds.
std::string renderText(
  const std::vector<EventRow> & rows, std::chrono::steady_clock::time_point now,
  const TextLayout & layout, const std::vector<StreamRow> & streams = {});

// One JSON object: {"rows":[{...}, ...]} for scripts, with "streams" first when /diagnostics
// described them.
std::string renderJson(
  const std::vector<EventRow> & rows, std::chrono::steady_clock::time_point now,
  const std::vector<StreamRow> & streams = {});

}  // namespace kelvaron::monitor
