#include "support/pass_setup.hpp"

#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <thread>

#include <brimtale_protocol/msg/diagnostic_event.hpp>

#include "sensor_diagnosis/stream_table.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/steered_clock.hpp"

namespace kelvaron_bench
{
namespace
{

constexpr std::size_t kPassSizes[] = {1, 12, 100, 1000};
constexpr auto kDiscoveryTimeout = std::chrono::seconds(30);

std::unique_ptr<PassWorld> g_world;

}  // namespace

SubscriberMode takeSubscriberMode(int & argc, char ** argv)
{
  SubscriberMode mode = SubscriberMode::kNone;
  int kept = 1;
  for (int index = 1; index < argc; ++index) {
    const char * prefix = "--subscriber=";
    if (std::strncmp(argv[index], prefix, std::strlen(prefix)) != 0) {
      argv[kept++] = argv[index];
      continue;
    }
    const std::string value = argv[index] + std::strlen(prefix);
    if (value == "local") {
      mode = SubscriberMode::kLocal;
    } else if (value == "remote") {
      mode = SubscriberMode::kRemote;
    } else if (value != "none") {
      throw std::invalid_argument("--subscriber must be none, local or remote");
    }
  }
  argc = kept;
  return mode;
}

const char * modeName(SubscriberMode mode)
{
  switch (mode) {
    case SubscriberMode::kLocal:
      return "local";
    case SubscriberMode::kRemote:
      return "remote";
    case SubscriberMode::kNone:
      break;
  }
  return "none";
}

MonitoredSensors::MonitoredSensors(std::size_t count, const ScratchDir & dir, bool ros_diagnostics)
: topics_(sensorTopics(count)), headers_(sensorHeaders(count))
{
  const std::string name =
    "sensors_" + std::to_string(count) + (ros_diagnostics ? "_diagnostics" : "") + ".yaml";
  const std::string path = writeThresholdFile(dir.path(), name, count);
  if (ros_diagnostics) {
    std::ofstream(path, std::ios::app) << "ros_diagnostics:\n  enabled: true\n  period_ms: 100\n";
  }
  DiscardStdout quiet;
  if (!diagnosis_.initialize(path)) {
    throw std::runtime_error("cannot initialise with " + path);
  }
}

void MonitoredSensors::reportOneFrameEach()
{
  for (std::size_t index = 0; index < topics_.size(); ++index) {
    diagnosis_.SensorReportWithHeader(topics_[index], headers_[index]);
  }
}

void MonitoredSensors::primeHealthyStreams()
{
  SteeredClock clock(diagnosis_);
  for (int frame = 0; frame < 10; ++frame) {
    clock.advanceMs(kPassPeriodMs);
    reportOneFrameEach();
  }
}

std::size_t MonitoredSensors::publicationsOfOnePass()
{
  std::size_t published = 0;
  DiagnosisTestAccess::setPublishFault(diagnosis_, [&published] { ++published; });
  diagnosis_.TimeoutCheck();
  diagnosis_.FPSCheck();
  DiagnosisTestAccess::setPublishFault(diagnosis_, nullptr);
  return published;
}

std::vector<EventSample> MonitoredSensors::eventsOfHealthyPass() const
{
  std::vector<EventSample> events;
  events.reserve(2 * topics_.size());
  for (std::size_t index = 0; index < topics_.size(); ++index) {
    events.emplace_back(
      headers_[index], kelvaron::streamEventIds(topics_[index]).timeout_id, 0, "STREAM NORMAL");
  }
  for (std::size_t index = 0; index < topics_.size(); ++index) {
    events.emplace_back(
      headers_[index], kelvaron::streamEventIds(topics_[index]).frame_rate_id, 0,
      "NORMAL FRAME RATE");
  }
  return events;
}

PassWorld::PassWorld(SubscriberMode mode)
: mode_(mode)
, raw_writer_(
    std::make_unique<RawEndpoint>(raw_participant_, kHealthTopic, RawEndpoint::Kind::kWriter))
{
  for (const std::size_t count : kPassSizes) {
    auto sensors = std::make_unique<MonitoredSensors>(count, dir_);
    sensors->primeHealthyStreams();
    {
      SteeredClock clock(sensors->diagnosis());
      const std::size_t published = sensors->publicationsOfOnePass();
      if (published != 2 * count) {
        throw std::runtime_error(
          "a healthy pass over " + std::to_string(count) + " sensors published " +
          std::to_string(published) + " events");
      }
    }
    raw_events_.emplace(count, sensors->eventsOfHealthyPass());
    sensors_.emplace(count, std::move(sensors));
  }
  latency_sensors_ = std::make_unique<MonitoredSensors>(kLatencySensors, dir_);
  waitForSubscriber();
}

PassWorld::~PassWorld() = default;

void PassWorld::waitForSubscriber()
{
  if (mode_ == SubscriberMode::kNone) {
    return;
  }
  if (mode_ == SubscriberMode::kLocal) {
    local_participant_ = std::make_unique<RawParticipant>();
    local_reader_ =
      std::make_unique<RawEndpoint>(*local_participant_, kHealthTopic, RawEndpoint::Kind::kReader);
  } else {
    remote_subscriber_ =
      std::make_unique<BackgroundProcess>(std::vector<std::string>{KELVARON_BENCH_SUBSCRIBER});
    if (!remote_subscriber_->started()) {
      throw std::runtime_error(std::string("cannot start ") + KELVARON_BENCH_SUBSCRIBER);
    }
  }
  // A probe publisher on this process's ROS context is matched when the subscriber has been
  // discovered, and so are the Diagnosis objects' publishers, made earlier on the same context.
  auto probe_node = std::make_shared<rclcpp::Node>("kelvaron_bench_probe");
  auto probe = probe_node->create_publisher<brimtale_protocol::msg::DiagnosticEvent>(
    kHealthTopic, rclcpp::QoS(10));
  const auto deadline = std::chrono::steady_clock::now() + kDiscoveryTimeout;
  while (probe->get_subscription_count() == 0 || raw_writer_->matched() == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      throw std::runtime_error("the subscriber was not discovered");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Let the subscriber discover every writer too, so that none of them is still unacknowledged.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}

PassWorld & passWorld() { return *g_world; }

void makePassWorld(SubscriberMode mode) { g_world = std::make_unique<PassWorld>(mode); }

void releasePassWorld() { g_world.reset(); }

}  // namespace kelvaron_bench
