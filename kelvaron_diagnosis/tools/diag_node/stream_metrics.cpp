#include "stream_metrics.hpp"

#include <cstdint>
#include <optional>
#include <utility>

namespace kelvaron::diag_node
{
namespace
{

using prometheus::ClientMetric;
using prometheus::MetricFamily;
using prometheus::MetricType;

constexpr double kMsPerSecond = 1000.0;

// One per-stream metric: how to read its value, nothing when the stream has none.
struct StreamMetric
{
  const char * name;
  const char * help;
  MetricType type;
  std::optional<double> (*value)(const StreamSnapshot &);
};

std::optional<double> seconds(const std::optional<int64_t> & ms)
{
  if (!ms) {
    return std::nullopt;
  }
  return static_cast<double>(*ms) / kMsPerSecond;
}

constexpr StreamMetric kStreamMetrics[] = {
  {"kelvaron_stream_level", "Stream level as on /diagnostics: 0 OK, 1 WARN, 2 ERROR, 3 STALE.",
   MetricType::Gauge, [](const StreamSnapshot & s) -> std::optional<double> { return s.level; }},
  {"kelvaron_stream_frame_rate_hertz", "Frames received in the last second.", MetricType::Gauge,
   [](const StreamSnapshot & s) -> std::optional<double> {
     return static_cast<double>(s.frames_in_last_second);
   }},
  {"kelvaron_stream_expected_frame_rate_hertz", "Expected frame rate (normal_hz).",
   MetricType::Gauge,
   [](const StreamSnapshot & s) -> std::optional<double> { return s.normal_hz; }},
  {"kelvaron_stream_low_limit_hertz",
   "Frame rate below which the stream reads low (normal_hz * low_ratio).", MetricType::Gauge,
   [](const StreamSnapshot & s) -> std::optional<double> { return s.low_limit_hz; }},
  {"kelvaron_stream_last_frame_age_seconds", "Time since the latest frame.", MetricType::Gauge,
   [](const StreamSnapshot & s) { return seconds(s.since_last_frame_ms); }},
  {"kelvaron_stream_header_age_seconds",
   "Arrival time minus header stamp of the latest stamped frame.", MetricType::Gauge,
   [](const StreamSnapshot & s) { return seconds(s.header_age_ms); }},
  {"kelvaron_stream_frames_total", "Frames received since the stream was registered.",
   MetricType::Counter,
   [](const StreamSnapshot & s) -> std::optional<double> {
     return static_cast<double>(s.frames_total);
   }},
  {"kelvaron_stream_timeouts_total", "Times the stream went from STREAM NORMAL to time-out.",
   MetricType::Counter,
   [](const StreamSnapshot & s) -> std::optional<double> {
     return static_cast<double>(s.timeouts_total);
   }},
  {"kelvaron_stream_low_rate_spells_total", "Times the stream went into ABNORMAL FRAME RATE.",
   MetricType::Counter,
   [](const StreamSnapshot & s) -> std::optional<double> {
     return static_cast<double>(s.low_rate_spells_total);
   }},
};

ClientMetric sample(
  const char * label, const std::string & label_value, MetricType type, double value)
{
  ClientMetric metric;
  metric.label.push_back({label, label_value});
  if (type == MetricType::Counter) {
    metric.counter.value = value;
  } else {
    metric.gauge.value = value;
  }
  return metric;
}

}  // namespace

std::vector<MetricFamily> streamMetricFamilies(
  const HealthSnapshot & snapshot, const std::string & version)
{
  std::vector<MetricFamily> families;
  for (const StreamMetric & kind : kStreamMetrics) {
    MetricFamily family{kind.name, kind.help, kind.type, {}};
    family.metric.reserve(snapshot.streams.size());
    for (const StreamSnapshot & stream : snapshot.streams) {
      if (const std::optional<double> value = kind.value(stream)) {
        family.metric.push_back(sample("topic", stream.topic, kind.type, *value));
      }
    }
    if (!family.metric.empty()) {
      families.push_back(std::move(family));
    }
  }

  MetricFamily statuses{
    "kelvaron_data_status",
    "Latest status reported per data-status kind (0 normal).",
    MetricType::Gauge,
    {}};
  for (const DataStatusSnapshot & status : snapshot.data_statuses) {
    statuses.metric.push_back(
      sample("kind", status.kind, MetricType::Gauge, static_cast<double>(status.status)));
  }
  if (!statuses.metric.empty()) {
    families.push_back(std::move(statuses));
  }

  MetricFamily build_info{
    "kelvaron_build_info",
    "The kelvaron_diagnosis version that serves these metrics.",
    MetricType::Gauge,
    {sample("version", version, MetricType::Gauge, 1.0)}};
  families.push_back(std::move(build_info));
  return families;
}

StreamMetrics::StreamMetrics(SnapshotSource source, std::string version)
: source_(std::move(source)), version_(std::move(version))
{
}

std::vector<MetricFamily> StreamMetrics::Collect() const
{
  const std::shared_ptr<const HealthSnapshot> snapshot = source_();
  return streamMetricFamilies(snapshot ? *snapshot : HealthSnapshot{}, version_);
}

}  // namespace kelvaron::diag_node
