#pragma once

// The traffic of a robot host: one thread per sensor reporting frames at its normal rate, and
// one thread cycling through the data-status kinds, some reports close enough together to be
// rate-limited.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sensor_diagnosis.hpp"

namespace kelvaron_soak
{

struct StreamSpec
{
  std::string topic;
  double rate_hz;
};

// The sensors of a threshold file with their normal rates.
std::vector<StreamSpec> streamsOf(const std::string & thresholds_text);

class HostLoad
{
public:
  HostLoad(
    Diagnosis & diagnosis, const std::vector<StreamSpec> & streams,
    std::chrono::milliseconds status_period);
  ~HostLoad();
  HostLoad(const HostLoad &) = delete;
  HostLoad & operator=(const HostLoad &) = delete;

  void stop();
  uint64_t framesReported() const { return frames_.load(); }
  uint64_t statusReports() const { return status_reports_.load(); }
  uint64_t statusAccepted() const { return status_accepted_.load(); }

private:
  void reportFrames(const StreamSpec & stream);
  void reportStatuses(std::chrono::milliseconds period);
  // Sleeps until `deadline` or a stop; true when stopping.
  bool waitUntil(std::chrono::steady_clock::time_point deadline);

  Diagnosis & diagnosis_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_{false};
  std::atomic<uint64_t> frames_{0};
  std::atomic<uint64_t> status_reports_{0};
  std::atomic<uint64_t> status_accepted_{0};
  std::vector<std::thread> threads_;
};

}  // namespace kelvaron_soak
