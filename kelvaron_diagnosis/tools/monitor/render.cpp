#include "render.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <fmt/format.h>
#include <kelvaron_diagnosis/event_catalog.hpp>

#include "event_labels.hpp"

namespace kelvaron::monitor
{
namespace
{

double ageSeconds(const EventRow & row, std::chrono::steady_clock::time_point now)
{
  return std::chrono::duration<double>(now - row.last_seen).count();
}

std::string fit(const std::string & text, std::size_t width)
{
  return width == 0 || text.size() <= width ? text : text.substr(0, width);
}

std::string jsonString(const std::string & text)
{
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += fmt::format("\\u{:04x}", static_cast<unsigned>(c));
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

// A plain decimal as a JSON number; anything else (empty, inf) as null.
std::string jsonNumber(const std::string & text)
{
  char * end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  const bool whole = !text.empty() && end != nullptr && *end == '\0' && std::isfinite(value);
  return whole ? text : "null";
}

std::string lastFrameSeconds(const StreamRow & row)
{
  char * end = nullptr;
  const double ms = std::strtod(row.since_last_frame_ms.c_str(), &end);
  const bool known = !row.since_last_frame_ms.empty() && end != nullptr && *end == '\0';
  return known ? fmt::format("{:.1f}", ms / 1000.0) : "-";
}

std::vector<EventRow> dataStatusRowsOnly(const std::vector<EventRow> & rows)
{
  std::vector<EventRow> kept;
  for (const EventRow & row : rows) {
    if (findDataStatusKind(row.event_id) != nullptr) {
      kept.push_back(row);
    }
  }
  return kept;
}

std::string renderStreams(const std::vector<StreamRow> & streams, const TextLayout & layout)
{
  constexpr const char * kStreamFormat = "{:<40} {:<6} {:>7} {:>7} {:>7}  {}";
  std::string out =
    fit(
      fmt::format(kStreamFormat, "STREAM", "LEVEL", "RATE/s", "LIMIT/s", "LAST s", "MESSAGE"),
      layout.width) +
    "\n";
  for (const StreamRow & row : streams) {
    const std::string level = levelName(row.level);
    std::string line = fit(
      fmt::format(
        kStreamFormat, fit(row.topic, 40), level, row.frame_rate_hz, row.low_limit_hz,
        lastFrameSeconds(row), row.message),
      layout.width);
    if (layout.colour && line.size() >= 41 + level.size()) {
      const char * colour = row.level == 0   ? "\033[32m"
                            : row.level == 1 ? "\033[33m"
                                             : "\033[1;31m";
      line = line.substr(0, 41) + colour + level + "\033[0m" + line.substr(41 + level.size());
    }
    out += line + "\n";
  }
  return out + "\n";
}

}  // namespace

std::string renderText(
  const std::vector<EventRow> & all_rows, std::chrono::steady_clock::time_point now,
  const TextLayout & layout, const std::vector<StreamRow> & streams)
{
  const std::vector<EventRow> rows = streams.empty() ? all_rows : dataStatusRowsOnly(all_rows);
  std::string out = streams.empty() ? "" : renderStreams(streams, layout);
  if (!streams.empty() && rows.empty()) {
    return out;  // the streams say it all until a data-status event arrives
  }
  constexpr const char * kRowFormat = "{:<24} {:>5} {:<42} {:<9} {:<24} {:>6} {:>7} {:>6}  {}";
  out +=
    fit(
      fmt::format(
        kRowFormat, "TOPIC", "ID", "EVENT", "STATUS", "TEXT", "AGE s", "COUNT", "ABN", "FRAME"),
      layout.width) +
    "\n";
  std::size_t shown = 0;
  for (const EventRow & row : rows) {
    if (layout.height != 0 && shown + 2 >= layout.height) {
      out += fmt::format("... {} more rows\n", rows.size() - shown);
      break;
    }
    const std::string status = statusName(row.last_status);
    std::string line = fit(
      fmt::format(
        kRowFormat, fit(row.topic, 24), row.event_id, fit(row.label, 42), status,
        fit(row.last_text, 24), fmt::format("{:.1f}", ageSeconds(row, now)), row.count,
        row.abnormal_count, row.frame_id),
      layout.width);
    if (layout.colour) {
      // Colour only the status word, which sits at a fixed column.
      const std::size_t column = 24 + 1 + 5 + 1 + 42 + 1;
      if (line.size() >= column + status.size()) {
        const char * colour = row.last_status == 0 ? "\033[32m" : "\033[1;31m";
        line = line.substr(0, column) + colour + status + "\033[0m" +
               line.substr(column + status.size());
      }
    }
    out += line + "\n";
    ++shown;
  }
  if (rows.empty()) {
    out += "(no events received yet)\n";
  }
  return out;
}

std::string renderJson(
  const std::vector<EventRow> & all_rows, std::chrono::steady_clock::time_point now,
  const std::vector<StreamRow> & streams)
{
  std::string out = "{";
  if (!streams.empty()) {
    out += "\"streams\":[";
    for (std::size_t i = 0; i < streams.size(); ++i) {
      const StreamRow & row = streams[i];
      out += fmt::format(
        "{}{{\"topic\":{},\"level\":{},\"level_name\":{},\"message\":{},"
        "\"frame_rate_hz\":{},\"low_limit_hz\":{},\"since_last_frame_ms\":{},\"frame_id\":{}}}",
        i == 0 ? "" : ",", jsonString(row.topic), static_cast<unsigned>(row.level),
        jsonString(levelName(row.level)), jsonString(row.message), jsonNumber(row.frame_rate_hz),
        jsonNumber(row.low_limit_hz), jsonNumber(row.since_last_frame_ms),
        jsonString(row.frame_id));
    }
    out += "],";
  }
  const std::vector<EventRow> rows = streams.empty() ? all_rows : dataStatusRowsOnly(all_rows);
  out += "\"rows\":[";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const EventRow & row = rows[i];
    out += fmt::format(
      "{}{{\"topic\":{},\"event_id\":{},\"frame_id\":{},\"event\":{},\"status\":{},"
      "\"status_name\":{},\"text\":{},\"age_s\":{:.3f},\"count\":{},\"abnormal_count\":{}}}",
      i == 0 ? "" : ",", jsonString(row.topic), row.event_id, jsonString(row.frame_id),
      jsonString(row.label), row.last_status, jsonString(statusName(row.last_status)),
      jsonString(row.last_text), ageSeconds(row, now), row.count, row.abnormal_count);
  }
  return out + "]}\n";
}

}  // namespace kelvaron::monitor
