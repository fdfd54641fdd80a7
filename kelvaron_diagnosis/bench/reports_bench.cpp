// The host-facing calls, each beside the baseline it is judged against:
//   FrameReport/*        vs Baseline/MutexClockCounter (the simplest per-message rate counter)
//   DataStatus/Accepted  vs Baseline/RawWrite (one dds_write of the same kind of event)
//   DataStatus/RateLimited vs Baseline/MutexClockCounter
//   ConfigLoadThenParse/N  loadConfigFromFile vs parsing the same file with yaml-cpp alone
// The logger's sink is chosen by the environment of the run (SPDLOG_STDOUT).

#include <benchmark/benchmark.h>

#include <yaml-cpp/yaml.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "support/raw_dds.hpp"
#include "support/sensor_files.hpp"
#include "support/steered_clock.hpp"

namespace kelvaron_bench
{
namespace
{

constexpr std::size_t kDefaultSensors = 12;

// Everything the benchmarks of this process share, made before the first one runs.
struct ReportsWorld
{
  ReportsWorld()
  : topics(sensorTopics(kDefaultSensors))
  , headers(sensorHeaders(kDefaultSensors))
  , raw_writer(raw_participant, "chassis_loc_diag_topic", RawEndpoint::Kind::kWriter)
  , raw_status_event(sensorHeaders(1)[0], 8020, 1, "LOCALIZATION_LOST")
  {
    DiscardStdout quiet;
    if (!diagnosis.initialize(KELVARON_DEFAULT_CONFIG)) {
      throw std::runtime_error("cannot load " + std::string(KELVARON_DEFAULT_CONFIG));
    }
    for (const std::size_t count : {std::size_t{12}, std::size_t{1000}}) {
      config_files.push_back(
        writeThresholdFile(dir.path(), "sensors_" + std::to_string(count) + ".yaml", count));
    }
  }

  ScratchDir dir;
  std::vector<std::string> topics;
  std::vector<std_msgs::msg::Header> headers;
  Diagnosis diagnosis;
  RawParticipant raw_participant;
  RawEndpoint raw_writer;
  EventSample raw_status_event;
  std::vector<std::string> config_files;  // 12 and 1000 sensors
};

std::unique_ptr<ReportsWorld> g_world;

double secondsSince(std::chrono::steady_clock::time_point start)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const std::string & configFile(std::size_t sensors)
{
  return g_world->config_files.at(sensors == 12 ? 0 : 1);
}

void BM_MutexClockCounter(benchmark::State & state)
{
  std::mutex mutex;
  int64_t frames = 0;
  int64_t last_ms = 0;
  for (auto _ : state) {
    std::lock_guard<std::mutex> lock(mutex);
    last_ms = realWallClockMs();
    ++frames;
    benchmark::DoNotOptimize(frames);
    benchmark::DoNotOptimize(last_ms);
  }
}

// Frames of the twelve default sensors in turn, on an initialised object with its timer
// stopped; the windows trim themselves on every frame.
void BM_FrameReportRegistered(benchmark::State & state)
{
  ReportsWorld & world = *g_world;
  std::size_t index = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
      world.diagnosis.SensorReportWithHeader(world.topics[index], world.headers[index]));
    index = index + 1 == world.topics.size() ? 0 : index + 1;
  }
}

// Each report logs "Sensor topic not registered: ..." at WARN.
void BM_FrameReportUnregistered(benchmark::State & state)
{
  ReportsWorld & world = *g_world;
  const std::string topic = "/not_registered/points";
  for (auto _ : state) {
    benchmark::DoNotOptimize(world.diagnosis.SensorReportWithHeader(topic, world.headers[0]));
  }
}

// Every report is a second after the last: checked, published on chassis_loc_diag_topic and
// logged at INFO.
void BM_DataStatusAccepted(benchmark::State & state)
{
  ReportsWorld & world = *g_world;
  SteeredClock clock(world.diagnosis);
  for (auto _ : state) {
    clock.advanceMs(1000);
    if (!world.diagnosis.DataStatusReport(LOCALIZATION_LOST_STATUS, 1)) {
      state.SkipWithError("report was not accepted");
      break;
    }
  }
}

// Real time: all but one report a second are dropped by the rate limit.
void BM_DataStatusRateLimited(benchmark::State & state)
{
  ReportsWorld & world = *g_world;
  for (auto _ : state) {
    benchmark::DoNotOptimize(world.diagnosis.DataStatusReport(LOCALIZATION_LOST_STATUS, 1));
  }
}

void BM_RawWrite(benchmark::State & state)
{
  ReportsWorld & world = *g_world;
  for (auto _ : state) {
    if (world.raw_writer.write(world.raw_status_event) < 0) {
      state.SkipWithError("dds_write failed");
      break;
    }
  }
}

// A load replaces the thresholds of an object that already holds them, as a reload does. Each
// iteration also parses the same file with yaml-cpp alone, the two taking turns going first,
// so that both meet the same moments of a noisy machine.
void BM_ConfigLoadThenParse(benchmark::State & state)
{
  const auto sensors = static_cast<std::size_t>(state.range(0));
  const std::string & path = configFile(sensors);
  Diagnosis diagnosis;
  DiscardStdout quiet;
  double load_seconds = 0;
  double parse_seconds = 0;
  bool parse_first = false;
  bool failed = false;
  const auto timeLoad = [&] {
    const auto start = std::chrono::steady_clock::now();
    failed = !diagnosis.loadConfigFromFile(path) || failed;
    load_seconds += secondsSince(start);
  };
  const auto timeParse = [&] {
    const auto start = std::chrono::steady_clock::now();
    const YAML::Node root = YAML::LoadFile(path);
    benchmark::DoNotOptimize(root);
    parse_seconds += secondsSince(start);
  };
  for (auto _ : state) {
    if (parse_first) {
      timeParse();
      timeLoad();
    } else {
      timeLoad();
      timeParse();
    }
    parse_first = !parse_first;
  }
  if (failed) {
    state.SkipWithError("load failed");
    return;
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["sensors"] = static_cast<double>(sensors);
  state.counters["load_us"] = load_seconds * 1e6 / iterations;
  state.counters["parse_us"] = parse_seconds * 1e6 / iterations;
  state.counters["ratio"] = load_seconds / parse_seconds;
}

}  // namespace
}  // namespace kelvaron_bench

BENCHMARK(kelvaron_bench::BM_MutexClockCounter)->Name("Baseline/MutexClockCounter");
BENCHMARK(kelvaron_bench::BM_FrameReportRegistered)->Name("FrameReport/Registered");
BENCHMARK(kelvaron_bench::BM_FrameReportUnregistered)->Name("FrameReport/Unregistered");
BENCHMARK(kelvaron_bench::BM_RawWrite)->Name("Baseline/RawWrite");
BENCHMARK(kelvaron_bench::BM_DataStatusAccepted)->Name("DataStatus/Accepted");
BENCHMARK(kelvaron_bench::BM_DataStatusRateLimited)->Name("DataStatus/RateLimited");
BENCHMARK(kelvaron_bench::BM_ConfigLoadThenParse)
  ->Name("ConfigLoadThenParse")
  ->Arg(12)
  ->Arg(1000)
  ->Unit(benchmark::kMicrosecond);

int main(int argc, char ** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  try {
    rclcpp::init(0, nullptr);
    kelvaron_bench::g_world = std::make_unique<kelvaron_bench::ReportsWorld>();
    benchmark::RunSpecifiedBenchmarks();
    kelvaron_bench::g_world.reset();
    rclcpp::shutdown();
  } catch (const std::exception & error) {
    std::fprintf(stderr, "kelvaron_bench_reports: %s\n", error.what());
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
