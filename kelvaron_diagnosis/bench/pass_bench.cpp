// Health pass (TimeoutCheck + FPSCheck) over 1 to 1000 healthy sensors, against the raw
// dds_write calls of the same events, both timed by the benchmark thread's CPU clock, and the
// latency benchmarks (latency_bench.cpp); run once per subscriber mode:
//   kelvaron_bench_pass --subscriber=none|local|remote [benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>

#include <rclcpp/rclcpp.hpp>

#include "support/diagnosis_test_access.hpp"
#include "support/pass_setup.hpp"
#include "support/steered_clock.hpp"
#include "support/thread_cpu_time.hpp"

namespace kelvaron_bench
{
namespace
{

// Each iteration is one timer period later: every sensor delivers its next frame (not timed),
// then one pass runs, which trims one old frame per window and publishes two events a sensor,
// and the raw writer writes the same events. The two take turns going first, so that both
// meet the same moments of a noisy machine; the counters give each side's mean CPU time an
// iteration and the ratio of their sums.
void BM_PassThenRaw(benchmark::State & state)
{
  const auto count = static_cast<std::size_t>(state.range(0));
  MonitoredSensors & sensors = passWorld().sensors(count);
  const RawEndpoint & writer = passWorld().rawWriter();
  const std::vector<EventSample> & events = passWorld().rawEvents(count);
  sensors.primeHealthyStreams();
  SteeredClock clock(sensors.diagnosis());
  double pass_seconds = 0;
  double raw_seconds = 0;
  bool raw_first = false;
  bool writes_failed = false;
  const auto timePass = [&] {
    const double start = threadCpuSeconds();
    sensors.diagnosis().TimeoutCheck();
    sensors.diagnosis().FPSCheck();
    pass_seconds += threadCpuSeconds() - start;
  };
  const auto timeRaw = [&] {
    const double start = threadCpuSeconds();
    for (const EventSample & event : events) {
      writes_failed = writer.write(event) < 0 || writes_failed;
    }
    raw_seconds += threadCpuSeconds() - start;
  };
  for (auto _ : state) {
    clock.advanceMs(kPassPeriodMs);
    sensors.reportOneFrameEach();
    if (raw_first) {
      timeRaw();
      timePass();
    } else {
      timePass();
      timeRaw();
    }
    raw_first = !raw_first;
  }
  if (writes_failed) {
    state.SkipWithError("dds_write failed");
    return;
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["sensors"] = static_cast<double>(count);
  state.counters["events"] = static_cast<double>(2 * count);
  state.counters["pass_us"] = pass_seconds * 1e6 / iterations;
  state.counters["raw_us"] = raw_seconds * 1e6 / iterations;
  state.counters["ratio"] = raw_seconds > 0 ? pass_seconds / raw_seconds : 0.0;
}

// The /diagnostics output against what it reports on: one publication for `count` streams
// against the ten passes of the same second (its default period is one second).
void BM_DiagnosticsThenPasses(benchmark::State & state)
{
  const auto count = static_cast<std::size_t>(state.range(0));
  ScratchDir dir;
  MonitoredSensors sensors(count, dir, true);
  sensors.primeHealthyStreams();
  SteeredClock clock(sensors.diagnosis());
  DiagnosisTestAccess::publishRosDiagnostics(sensors.diagnosis());  // makes the publisher
  double diagnostics_seconds = 0;
  double passes_seconds = 0;
  for (auto _ : state) {
    for (int pass = 0; pass < 10; ++pass) {
      clock.advanceMs(kPassPeriodMs);
      sensors.reportOneFrameEach();
      const double start = threadCpuSeconds();
      sensors.diagnosis().TimeoutCheck();
      sensors.diagnosis().FPSCheck();
      passes_seconds += threadCpuSeconds() - start;
    }
    const double start = threadCpuSeconds();
    DiagnosisTestAccess::publishRosDiagnostics(sensors.diagnosis());
    diagnostics_seconds += threadCpuSeconds() - start;
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["sensors"] = static_cast<double>(count);
  state.counters["diagnostics_us"] = diagnostics_seconds * 1e6 / iterations;
  state.counters["passes_us"] = passes_seconds * 1e6 / iterations;
  state.counters["added"] = passes_seconds > 0 ? diagnostics_seconds / passes_seconds : 0.0;
}

// What the two readings around a timed region cost (reading a thread's CPU clock is a system
// call, over a microsecond in a VM); the table takes it off both sides.
void BM_EmptyTimedRegion(benchmark::State & state)
{
  double seconds = 0;
  for (auto _ : state) {
    const double start = threadCpuSeconds();
    seconds += threadCpuSeconds() - start;
  }
  state.counters["overhead_us"] = seconds * 1e6 / static_cast<double>(state.iterations());
}

}  // namespace
}  // namespace kelvaron_bench

BENCHMARK(kelvaron_bench::BM_PassThenRaw)
  ->Name("PassThenRaw")
  ->Arg(1)
  ->Arg(12)
  ->Arg(100)
  ->Arg(1000)
  ->Unit(benchmark::kMicrosecond);
BENCHMARK(kelvaron_bench::BM_DiagnosticsThenPasses)
  ->Name("DiagnosticsThenTenPasses")
  ->Arg(12)
  ->Arg(100)
  ->Arg(1000)
  ->Unit(benchmark::kMicrosecond);
BENCHMARK(kelvaron_bench::BM_EmptyTimedRegion)->Name("Calibration/EmptyTimedRegion");

int main(int argc, char ** argv)
{
  try {
    const kelvaron_bench::SubscriberMode mode = kelvaron_bench::takeSubscriberMode(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
      return 1;
    }
    benchmark::AddCustomContext("subscriber", kelvaron_bench::modeName(mode));
    rclcpp::init(0, nullptr);
    kelvaron_bench::makePassWorld(mode);
    benchmark::RunSpecifiedBenchmarks();
    kelvaron_bench::releasePassWorld();
    rclcpp::shutdown();
    benchmark::Shutdown();
  } catch (const std::exception & error) {
    std::fprintf(stderr, "kelvaron_bench_pass: %s\n", error.what());
    return 1;
  }
  return 0;
}
