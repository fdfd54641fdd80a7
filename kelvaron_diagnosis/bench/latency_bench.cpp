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

double micros(Clock::duration duration)
{
  return std::chrono::duration<double, std::micro>(duration).count();
}

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
  std::vector<double> & latencies_us, std::atomic<int> & failures)
{
  auto next = Clock::now();
  std::size_t index = static_cast<std::size_t>(thread);
  while (!stop.load(std::memory_order_relaxed)) {
    next += kReportInterval;
    std::this_thread::sleep_until(next);
    const auto start = Clock::now();
    const bool accepted =
      sensors.diagnosis().SensorReportWithHeader(sensors.topic(index), sensors.header(index));
    latencies_us.push_back(micros(Clock::now() - start));
    if (!accepted) {
      failures.fetch_add(1);
    }
    index = (index + kHostThreads) % sensors.size();
  }
}

// The timer thread's loop, with each pass timed.
void runPasses(
  MonitoredSensors & sensors, std::mutex & wait_mutex, std::condition_variable & wake,
  const std::atomic<bool> & stop, std::vector<double> & passes_us)
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
    passes_us.push_back(micros(Clock::now() - start));
    lock.lock();
  }
}

void BM_ReportLatency(benchmark::State & state, Passes passes, std::chrono::milliseconds length)
{
  MonitoredSensors & sensors = passWorld().latencySensors();
  std::vector<double> all_latencies_us;
  std::vector<double> passes_us;
  std::atomic<int> failures{0};
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::mutex wait_mutex;
    std::condition_variable wake;
    std::vector<std::vector<double>> latencies_us(kHostThreads);
    for (auto & values : latencies_us) {
      values.reserve(static_cast<std::size_t>(length / kReportInterval) + 16);
    }
    std::thread pass_thread;
    if (passes == Passes::kBenchLoop) {
      pass_thread = std::thread(
        runPasses, std::ref(sensors), std::ref(wait_mutex), std::ref(wake), std::cref(stop),
        std::ref(passes_us));
    } else if (passes == Passes::kLibraryTimer) {
      sensors.diagnosis().startTimer();
    }
    const auto start = Clock::now();
    std::vector<std::thread> hosts;
    for (int thread = 0; thread < kHostThreads; ++thread) {
      hosts.emplace_back(
        reportAtOneKilohertz, std::ref(sensors), thread, std::cref(stop),
        std::ref(latencies_us[static_cast<std::size_t>(thread)]), std::ref(failures));
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
    for (const auto & values : latencies_us) {
      all_latencies_us.insert(all_latencies_us.end(), values.begin(), values.end());
    }
  }
  if (failures.load() != 0) {
    state.SkipWithError("a report was refused");
    return;
  }
  state.counters["reports"] = static_cast<double>(all_latencies_us.size());
  state.counters["report_p50_us"] = percentile(all_latencies_us, 0.50);
  state.counters["report_p99_us"] = percentile(all_latencies_us, 0.99);
  state.counters["report_p999_us"] = percentile(all_latencies_us, 0.999);
  state.counters["report_max_us"] = percentile(all_latencies_us, 1.0);
  if (!passes_us.empty()) {
    state.counters["passes"] = static_cast<double>(passes_us.size());
    state.counters["pass_p50_us"] = percentile(passes_us, 0.50);
    state.counters["pass_max_us"] = percentile(passes_us, 1.0);
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
