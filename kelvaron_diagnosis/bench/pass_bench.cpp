// Health pass (TimeoutCheck + FPSCheck) over 1 to 1000 healthy sensors, against the raw
// dds_write calls of the same events; run once per subscriber mode:
//   kelvaron_bench_pass --subscriber=none|local|remote [benchmark flags]

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <exception>

#include <rclcpp/rclcpp.hpp>

#include "support/pass_setup.hpp"
#include "support/steered_clock.hpp"

namespace kelvaron_bench
{
namespace
{

double secondsSince(std::chrono::steady_clock::time_point start)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void countEvents(benchmark::State & state, std::size_t sensors)
{
  state.counters["sensors"] = static_cast<double>(sensors);
  state.counters["events"] = static_cast<double>(2 * sensors);
}

// Each iteration is one timer period later: every sensor delivers its next frame (not timed),
// then one pass runs, which trims one old frame per window and publishes two events a sensor.
void BM_Pass(benchmark::State & state)
{
  MonitoredSensors & sensors = passWorld().sensors(static_cast<std::size_t>(state.range(0)));
  sensors.primeHealthyStreams();
  SteeredClock clock;
  for (auto _ : state) {
    clock.advanceMs(kPassPeriodMs);
    sensors.reportOneFrameEach();
    const auto start = std::chrono::steady_clock::now();
    sensors.diagnosis().TimeoutCheck();
    sensors.diagnosis().FPSCheck();
    state.SetIterationTime(secondsSince(start));
  }
  countEvents(state, sensors.size());
}

void BM_RawWrites(benchmark::State & state)
{
  const auto count = static_cast<std::size_t>(state.range(0));
  const RawEndpoint & writer = passWorld().rawWriter();
  const std::vector<EventSample> & events = passWorld().rawEvents(count);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (const EventSample & event : events) {
      if (writer.write(event) < 0) {
        state.SkipWithError("dds_write failed");
        break;
      }
    }
    state.SetIterationTime(secondsSince(start));
  }
  countEvents(state, count);
}

void passSizes(benchmark::internal::Benchmark * benchmark)
{
  benchmark->Arg(1)->Arg(12)->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);
}

}  // namespace
}  // namespace kelvaron_bench

BENCHMARK(kelvaron_bench::BM_Pass)->Name("Pass")->Apply(kelvaron_bench::passSizes);
BENCHMARK(kelvaron_bench::BM_RawWrites)->Name("RawWrites")->Apply(kelvaron_bench::passSizes);

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
