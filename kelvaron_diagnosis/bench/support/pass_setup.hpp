#pragma once

// What the health-pass and latency benchmarks share within one process: Diagnosis objects
// with 1 to 1000 sensors, the raw writer of the baseline, and the subscriber, all made before
// the first benchmark so that discovery is over before anything is timed.

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "support/background_process.hpp"
#include "support/raw_dds.hpp"
#include "support/sensor_files.hpp"

namespace kelvaron_bench
{

constexpr int64_t kPassPeriodMs = 100;
constexpr const char * kHealthTopic = "sensor_proxy_diag_topic";

enum class SubscriberMode
{
  kNone,    // nobody listens
  kLocal,   // a reader in this process, on a participant of its own
  kRemote,  // a ROS 2 node in another process, over loopback UDP
};

// Takes "--subscriber=none|local|remote" out of argv (default none).
SubscriberMode takeSubscriberMode(int & argc, char ** argv);
const char * modeName(SubscriberMode mode);

// An initialised Diagnosis object whose threshold file lists `count` sensors; timer stopped.
// With `ros_diagnostics`, the file switches the /diagnostics output on, due at every pass.
class MonitoredSensors
{
public:
  MonitoredSensors(std::size_t count, const ScratchDir & dir, bool ros_diagnostics = false);

  Diagnosis & diagnosis() { return diagnosis_; }
  std::size_t size() const { return topics_.size(); }
  const std::string & topic(std::size_t index) const { return topics_[index]; }
  const std_msgs::msg::Header & header(std::size_t index) const { return headers_[index]; }

  void reportOneFrameEach();
  // Under the steered clock: one second of 10 Hz frames, so the next pass finds every stream
  // normal and publishes two events per sensor.
  void primeHealthyStreams();
  // Runs one pass and returns how many events it published.
  std::size_t publicationsOfOnePass();
  // The events a healthy pass publishes, in pass order, as raw samples.
  std::vector<EventSample> eventsOfHealthyPass() const;

private:
  Diagnosis diagnosis_;
  std::vector<std::string> topics_;
  std::vector<std_msgs::msg::Header> headers_;
};

class PassWorld
{
public:
  static constexpr std::size_t kLatencySensors = 100;

  explicit PassWorld(SubscriberMode mode);
  ~PassWorld();

  SubscriberMode mode() const { return mode_; }
  MonitoredSensors & sensors(std::size_t count) { return *sensors_.at(count); }
  // Never driven by the steered clock: the latency runs use real time.
  MonitoredSensors & latencySensors() { return *latency_sensors_; }
  const RawEndpoint & rawWriter() const { return *raw_writer_; }
  const std::vector<EventSample> & rawEvents(std::size_t count) { return raw_events_.at(count); }

private:
  void waitForSubscriber();

  SubscriberMode mode_;
  ScratchDir dir_;
  RawParticipant raw_participant_;
  std::unique_ptr<RawEndpoint> raw_writer_;
  std::map<std::size_t, std::unique_ptr<MonitoredSensors>> sensors_;
  std::map<std::size_t, std::vector<EventSample>> raw_events_;
  std::unique_ptr<MonitoredSensors> latency_sensors_;
  std::unique_ptr<RawParticipant> local_participant_;
  std::unique_ptr<RawEndpoint> local_reader_;
  std::unique_ptr<BackgroundProcess> remote_subscriber_;
};

// The process's world, made by main before the benchmarks run.
PassWorld & passWorld();
void makePassWorld(SubscriberMode mode);
void releasePassWorld();

}  // namespace kelvaron_bench
