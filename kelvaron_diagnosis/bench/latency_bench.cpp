// How long a host's frame report takes while health passes hold data_mutex_: four host threads
// report at 1 kHz each over 100 sensors, for a few seconds of real time.
//   Latency/Idle        no pass runs: what a report costs on a loaded 2-core machine
//   Latency/UnderPass   the timer's loop (wait a period, TimeoutCheck, FPSCheck) on a bench
//                       thread, so that every pass is timed beside the reports
//   Latency/UnderTimer  the library's own timer thread (startTimer), reports timed only

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "support/pass_setup.hpp"

namespace kelvaron_bench
{
namespace
{

using Clock = std::chrono::steady_clock;

constexpr int kHostThreads = 4;
constexpr auto kReportInterval = std::chrono::milliseconds(1);

enum class Passes
{
  kNone,
  kBenchLoop,
  kLibraryTimer,
};

// When a call (a report or a pass) started and ended.
struct Interval
{
  Clock::time_point start;
  Clock::time_point end;

  double micros() const { return std::chrono::duration<double, std::micro>(end - start).count(); }
};

double percentile(std::vector<double> & values, double fraction)
{
  if (values.empty()) {
    return 0.0;
  }
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * values.size()));
  return values[std::min(values.size() - 1, rank == 0 ? 0 : rank - 1)];
}

// One host thread: frames of sensors thread, thread + 4, ... in turn, one every millisecond.
void reportAtOneKilohertz(
  MonitoredSensors & sensors, int thread, const std::atomic<bool> & stop,
  std::vector<Interval> & reports, std::atomic<int> & failures)
{
  auto next = Clock::now();
  std::size_t index = static_cast<std::size_t>(thread);
  while (!stop.load(std::memory_order_relaxed)) {
    next += kReportInterval;
    std::this_thread::sleep_until(next);
    const auto start = Clock::now();
    const bool accepted =
      sensors.diagnosis().SensorReportWithHeader(sensors.topic(index), sensors.header(index));
    reports.push_back({start, Clock::now()});
    if (!accepted) {
      failures.fetch_add(1);
    }
    index = (index + kHostThreads) % sensors.size();
  }
}

// The timer thread's loop, with each pass timed.
void runPasses(
  MonitoredSensors & sensors, std::mutex & wait_mutex, std::condition_variable & wake,
  const std::atomic<bool> & stop, std::vector<Interval> & passes)
{
  std::unique_lock<std::mutex> lock(wait_mutex);
  while (true) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kPassPeriodMs);
    if (wake.wait_until(lock, deadline, [&stop] { return stop.load(); })) {
      return;
    }
    lock.unlock();
    const auto start = Clock::now();
    sensors.diagnosis().TimeoutCheck();
    sensors.diagnosis().FPSCheck();
    passes.push_back({start, Clock::now()});
    lock.lock();
  }
}

// Splits the reports into those that overlapped a pass and those that did not. On a busy
// 2-core machine a report is also delayed by preemption; the reports clear of every pass show
// how much, and the overlapping ones whether a pass ever held a report up for longer than the
// pass itself took.
void judgeAgainstPasses(
  benchmark::State & state, const std::vector<Interval> & reports, std::vector<Interval> passes)
{
  std::sort(passes.begin(), passes.end(), [](const Interval & a, const Interval & b) {
    return a.start < b.start;
  });
  std::vector<double> clear_us;
  double overlapped = 0;
  double longer_than_pass = 0;
  double worst_ratio = 0;
  double worst_after_pass_us = 0;
  for (const Interval & report : reports) {
    // The last pass that started before the report ended; an earlier one ended before it.
    auto after = std::upper_bound(
      passes.begin(), passes.end(), report.end,
      [](Clock::time_point time, const Interval & pass) { return time < pass.start; });
    if (after == passes.begin() || std::prev(after)->end < report.start) {
      clear_us.push_back(report.micros());
      continue;
    }
    const Interval & pass = *std::prev(after);
    overlapped += 1;
    const double ratio = report.micros() / pass.micros();
    worst_ratio = std::max(worst_ratio, ratio);
    // How long the report went on once the pass had let data_mutex_ go: waking up and the
    // other host threads queued on the mutex, never the pass.
    worst_after_pass_us = std::max(
      worst_after_pass_us,
      std::chrono::duration<double, std::micro>(report.end - pass.end).count());
    if (ratio > 1.0) {
      longer_than_pass += 1;
    }
  }
  state.counters["overlapping_reports"] = overlapped;
  state.counters["overlapping_longer_than_pass"] = longer_than_pass;
  state.counters["overlapping_worst_ratio"] = worst_ratio;
  state.counters["overlapping_worst_after_pass_us"] = worst_after_pass_us;
  state.counters["clear_max_us"] = percentile(clear_us, 1.0);
}

void BM_ReportLatency(benchmark::State & state, Passes passes, std::chrono::milliseconds length)
{
  MonitoredSensors & sensors = passWorld().latencySensors();
  std::vector<Interval> all_reports;
  std::vector<Interval> pass_intervals;
  std::atomic<int> failures{0};
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::mutex wait_mutex;
    std::condition_variable wake;
    std::vector<std::vector<Interval>> reports(kHostThreads);
    for (auto & intervals : reports) {
      intervals.reserve(static_cast<std::size_t>(length / kReportInterval) + 16);
    }
    std::thread pass_thread;
    if (passes == Passes::kBenchLoop) {
      pass_thread = std::thread(
        runPasses, std::ref(sensors), std::ref(wait_mutex), std::ref(wake), std::cref(stop),
        std::ref(pass_intervals));
    } else if (passes == Passes::kLibraryTimer) {
      sensors.diagnosis().startTimer();
    }
    const auto start = Clock::now();
    std::vector<std::thread> hosts;
    for (int thread = 0; thread < kHostThreads; ++thread) {
      hosts.emplace_back(
        reportAtOneKilohertz, std::ref(sensors), thread, std::cref(stop),
        std::ref(reports[static_cast<std::size_t>(thread)]), std::ref(failures));
    }
    std::this_thread::sleep_for(length);
    {
      std::lock_guard<std::mutex> lock(wait_mutex);
      stop.store(true);
    }
    wake.notify_all();
    for (std::thread & host : hosts) {
      host.join();
    }
    if (pass_thread.joinable()) {
      pass_thread.join();
    }
    if (passes == Passes::kLibraryTimer) {
      sensors.diagnosis().stopTimer();
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    for (const auto & intervals : reports) {
      all_reports.insert(all_reports.end(), intervals.begin(), intervals.end());
    }
  }
  if (failures.load() != 0) {
    state.SkipWithError("a report was refused");
    return;
  }
  std::vector<double> latencies_us;
  latencies_us.reserve(all_reports.size());
  for (const Interval & report : all_reports) {
    latencies_us.push_back(report.micros());
  }
  state.counters["reports"] = static_cast<double>(latencies_us.size());
  state.counters["report_p50_us"] = percentile(latencies_us, 0.50);
  state.counters["report_p99_us"] = percentile(latencies_us, 0.99);
  state.counters["report_p999_us"] = percentile(latencies_us, 0.999);
  state.counters["report_max_us"] = percentile(latencies_us, 1.0);
  if (!pass_intervals.empty()) {
    std::vector<double> passes_us;
    for (const Interval & pass : pass_intervals) {
      passes_us.push_back(pass.micros());
    }
    state.counters["passes"] = static_cast<double>(passes_us.size());
    state.counters["pass_p50_us"] = percentile(passes_us, 0.50);
    state.counters["pass_max_us"] = percentile(passes_us, 1.0);
    judgeAgainstPasses(state, all_reports, pass_intervals);
  }
}

void BM_LatencyIdle(benchmark::State & state)
{
  BM_ReportLatency(state, Passes::kNone, std::chrono::milliseconds(2000));
}

void BM_LatencyUnderPass(benchmark::State & state)
{
  BM_ReportLatency(state, Passes::kBenchLoop, std::chrono::milliseconds(4000));
}

void BM_LatencyUnderTimer(benchmark::State & state)
{
  BM_ReportLatency(state, Passes::kLibraryTimer, std::chrono::milliseconds(3000));
}

}  // namespace
}  // namespace kelvaron_bench

BENCHMARK(kelvaron_bench::BM_LatencyIdle)
  ->Name("Latency/Idle")
  ->Iterations(1)
  ->Repetitions(1)
  ->UseManualTime()
  ->Unit(benchmark::kMillisecond);
BENCHMARK(kelvaron_bench::BM_LatencyUnderPass)
  ->Name("Latency/UnderPass")
  ->Iterations(1)
  ->Repetitions(1)
  ->UseManualTime()
  ->Unit(benchmark::kMillisecond);
BENCHMARK(kelvaron_bench::BM_LatencyUnderTimer)
  ->Name("Latency/UnderTimer")
  ->Iterations(1)
  ->Repetitions(1)
  ->UseManualTime()
  ->Unit(benchmark::kMillisecond);
