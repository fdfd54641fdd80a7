#include "sensor_diagnosis/health_snapshots.hpp"

#include <cmath>
#include <utility>

#include "kelvaron_diagnosis/event_catalog.hpp"

namespace kelvaron
{

std::shared_ptr<const HealthSnapshot> HealthSnapshots::latest()
{
  wanted_.store(true, std::memory_order_relaxed);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (latest_) {
      return latest_;
    }
  }
  return std::make_shared<const HealthSnapshot>();
}

void HealthSnapshots::update(
  const std::vector<StreamFigures> & streams, const std::vector<DataStatusFigures> & data_statuses)
{
  auto snapshot = std::make_shared<HealthSnapshot>();
  snapshot->streams.resize(streams.size());
  for (std::size_t i = 0; i < streams.size(); ++i) {
    fillStreamSnapshot(streams[i], snapshot->streams[i]);
  }
  snapshot->data_statuses.resize(data_statuses.size());
  for (std::size_t i = 0; i < data_statuses.size(); ++i) {
    snapshot->data_statuses[i].kind.assign(kDataStatusKinds[data_statuses[i].kind].name);
    snapshot->data_statuses[i].status = data_statuses[i].status;
  }
  std::shared_ptr<const HealthSnapshot> replaced = std::move(snapshot);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    latest_.swap(replaced);
  }
  // The replaced snapshot is freed here, outside the lock, unless a reader still holds it.
}

namespace
{

// Thresholds are floats: 20 × 0.6f is 12.00000047... as a double. Six decimals keep every
// figure a threshold file can mean and drop the float's noise.
double withoutFloatNoise(double value)
{
  constexpr double kScale = 1e6;
  return std::isfinite(value) ? std::round(value * kScale) / kScale : value;
}

}  // namespace

void fillStreamSnapshot(const StreamFigures & figures, StreamSnapshot & stream)
{
  stream.topic.assign(figures.topic);
  stream.level = streamLevel(figures);
  stream.frames_in_last_second = figures.frames_in_window;
  stream.normal_hz = withoutFloatNoise(figures.normal_hz);
  stream.low_limit_hz =
    withoutFloatNoise(static_cast<double>(figures.normal_hz) * figures.low_ratio);
  stream.since_last_frame_ms = figures.since_last_frame_ms;
  stream.header_age_ms = figures.header_age_ms;
  stream.frames_total = figures.frames_total;
  stream.timeouts_total = figures.timeouts_total;
  stream.low_rate_spells_total = figures.low_rate_spells_total;
}

}  // namespace kelvaron
