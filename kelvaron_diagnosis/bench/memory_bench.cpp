// Heap held by the library, counted through operator new (usable sizes):
//   Memory/PerSensor/Register     one Register call, averaged over 1000 sensors
//   Memory/PerSensor/ConfigLoad   one sensor of a loaded 1000-sensor file
//   Memory/Window1kHz             the frame-rate window of a 1 kHz stream, after 2 s and 10 s
// Each is set beside its payload: the record's own bytes, or 8 bytes per window entry.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <deque>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "diagnosis_test_access.hpp"
#include "support/allocation_counter.hpp"
#include "support/sensor_files.hpp"
#include "support/steered_clock.hpp"

namespace kelvaron_bench
{
namespace
{

constexpr std::size_t kSensors = 1000;

double payloadPerSensor(const std::vector<std::string> & topics)
{
  double name_bytes = 0;
  for (const std::string & topic : topics) {
    name_bytes += static_cast<double>(topic.size());
  }
  return static_cast<double>(sizeof(SensorThreshold) + sizeof(SensorState)) +
         name_bytes / static_cast<double>(topics.size());
}

void reportPerSensor(
  benchmark::State & state, int64_t bytes, const std::vector<std::string> & topics)
{
  state.counters["sensors"] = static_cast<double>(topics.size());
  state.counters["bytes_per_sensor"] =
    static_cast<double>(bytes) / static_cast<double>(topics.size());
  state.counters["payload_bytes"] = payloadPerSensor(topics);
}

void BM_PerSensorRegister(benchmark::State & state)
{
  const std::vector<std::string> topics = sensorTopics(kSensors);
  int64_t bytes = 0;
  for (auto _ : state) {
    Diagnosis diagnosis;
    DiscardStdout quiet;
    const int64_t before = liveHeapBytes();
    for (const std::string & topic : topics) {
      diagnosis.Register(topic, kNormalHz, kLowRatio, kCutoffTimeoutMs, kRecoveryFrames);
    }
    bytes = liveHeapBytes() - before;
  }
  reportPerSensor(state, bytes, topics);
}

void BM_PerSensorConfigLoad(benchmark::State & state)
{
  const std::vector<std::string> topics = sensorTopics(kSensors);
  ScratchDir dir;
  const std::string path = writeThresholdFile(dir.path(), "sensors.yaml", kSensors);
  int64_t bytes = 0;
  for (auto _ : state) {
    Diagnosis diagnosis;
    DiscardStdout quiet;
    const int64_t before = liveHeapBytes();
    if (!diagnosis.loadConfigFromFile(path)) {
      state.SkipWithError("load failed");
      return;
    }
    bytes = liveHeapBytes() - before;
  }
  reportPerSensor(state, bytes, topics);
}

int64_t emptyWindowBytes()
{
  const int64_t before = liveHeapBytes();
  const auto window = std::make_unique<std::deque<int64_t>>();
  return liveHeapBytes() - before - static_cast<int64_t>(sizeof(std::deque<int64_t>));
}

// 1 kHz frames of one sensor with a health pass every 100 ms, on steered time.
void BM_Window1kHz(benchmark::State & state)
{
  const std::string topic = "/imu/data";
  for (auto _ : state) {
    Diagnosis diagnosis;
    {
      DiscardStdout quiet;
      if (!diagnosis.initialize(KELVARON_DEFAULT_CONFIG)) {
        state.SkipWithError("cannot initialise");
        return;
      }
    }
    const std_msgs::msg::Header header = sensorHeaders(1)[0];
    SteeredClock clock(diagnosis);
    // The window of a registered sensor exists, empty, before its first frame.
    const int64_t before = liveHeapBytes() - emptyWindowBytes();
    int64_t after_2s = 0;
    for (int frame = 1; frame <= 10000; ++frame) {
      clock.advanceMs(1);
      diagnosis.SensorReportWithHeader(topic, header);
      if (frame % 100 == 0) {
        diagnosis.TimeoutCheck();
        diagnosis.FPSCheck();
      }
      if (frame == 2000) {
        after_2s = liveHeapBytes() - before;
      }
    }
    const int64_t after_10s = liveHeapBytes() - before;
    const auto entries =
      static_cast<double>(DiagnosisTestAccess::states(diagnosis).at(topic).timestamps.size());
    state.counters["entries"] = entries;
    state.counters["window_bytes_2s"] = static_cast<double>(after_2s);
    state.counters["window_bytes_10s"] = static_cast<double>(after_10s);
    state.counters["payload_bytes"] = entries * sizeof(int64_t);
  }
}

}  // namespace
}  // namespace kelvaron_bench

BENCHMARK(kelvaron_bench::BM_PerSensorRegister)
  ->Name("Memory/PerSensor/Register")
  ->Iterations(1)
  ->Repetitions(1);
BENCHMARK(kelvaron_bench::BM_PerSensorConfigLoad)
  ->Name("Memory/PerSensor/ConfigLoad")
  ->Iterations(1)
  ->Repetitions(1);
BENCHMARK(kelvaron_bench::BM_Window1kHz)->Name("Memory/Window1kHz")->Iterations(1)->Repetitions(1);

int main(int argc, char ** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  try {
    rclcpp::init(0, nullptr);
    benchmark::RunSpecifiedBenchmarks();
    rclcpp::shutdown();
  } catch (const std::exception & error) {
    std::fprintf(stderr, "kelvaron_bench_memory: %s\n", error.what());
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
