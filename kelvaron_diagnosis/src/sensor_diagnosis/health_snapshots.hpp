#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "kelvaron_diagnosis/health_snapshot.hpp"
#include "sensor_diagnosis/diagnostic_status_builder.hpp"

namespace kelvaron
{

// Hands the timer thread's latest HealthSnapshot to any thread. The timer thread fills a new
// snapshot nobody else can see, then swaps it in under a lock held only for the swap, so a
// reader never waits for a pass and never sees a stream half-updated. (A snapshot is never
// refilled: a reader may still hold it, and a count of holders read without a lock says nothing
// about when their reads ended.)
class HealthSnapshots
{
public:
  // The latest snapshot (empty before the first pass that built one). The first call turns
  // building on: until a host asks, passes build nothing.
  std::shared_ptr<const HealthSnapshot> latest();

  // Timer thread: whether any host has asked.
  bool wanted() const { return wanted_.load(std::memory_order_relaxed); }
  // Timer thread: makes a snapshot of one pass's figures (streams in topic order) the latest.
  void update(
    const std::vector<StreamFigures> & streams,
    const std::vector<DataStatusFigures> & data_statuses);

private:
  std::atomic<bool> wanted_{false};
  std::mutex mutex_;
  std::shared_ptr<const HealthSnapshot> latest_;  // guarded by mutex_
};

// Overwrites `stream` with what `figures` say, judged as /diagnostics judges them.
void fillStreamSnapshot(const StreamFigures & figures, StreamSnapshot & stream);

}  // namespace kelvaron
