#include "host_load.hpp"

#include <yaml-cpp/yaml.h>

namespace kelvaron_soak
{

std::vector<StreamSpec> streamsOf(const std::string & thresholds_text)
{
  std::vector<StreamSpec> streams;
  for (const auto & entry : YAML::Load(thresholds_text)["sensors"]) {
    streams.push_back({entry.first.as<std::string>(), entry.second["normal_hz"].as<double>()});
  }
  return streams;
}

HostLoad::HostLoad(
  Diagnosis & diagnosis, const std::vector<StreamSpec> & streams,
  std::chrono::milliseconds status_period)
: diagnosis_(diagnosis)
{
  try {
    for (const StreamSpec & stream : streams) {
      threads_.emplace_back([this, stream] { reportFrames(stream); });
    }
    threads_.emplace_back([this, status_period] { reportStatuses(status_period); });
  } catch (...) {
    stop();
    throw;
  }
}

HostLoad::~HostLoad() { stop(); }

void HostLoad::stop()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread & thread : threads_) {
    if (thread.joinable()) {
      thread.join();
    }
  }
}

bool HostLoad::waitUntil(std::chrono::steady_clock::time_point deadline)
{
  std::unique_lock<std::mutex> lock(mutex_);
  return wake_.wait_until(lock, deadline, [this] { return stopping_; });
}

void HostLoad::reportFrames(const StreamSpec & stream)
{
  const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
    std::chrono::duration<double>(1.0 / stream.rate_hz));
  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  std_msgs::msg::Header header;
  header.frame_id = stream.topic.substr(1) + "_frame";
  auto next = std::chrono::steady_clock::now();
  do {
    header.stamp = clock.now();
    diagnosis_.SensorReportWithHeader(stream.topic, header);
    ++frames_;
    next += period;
    // A host that fell behind (a stalled machine) drops frames rather than bursting.
    const auto now = std::chrono::steady_clock::now();
    if (next < now) {
      next = now;
    }
  } while (!waitUntil(next));
}

void HostLoad::reportStatuses(std::chrono::milliseconds period)
{
  constexpr int kKinds = NAV_TO_POINT_STATUS + 1;
  auto next = std::chrono::steady_clock::now();
  for (uint64_t i = 0; !waitUntil(next); ++i) {
    // Each kind comes round every kKinds periods and flips its status every other round.
    const auto kind = static_cast<AbnormalEventType>(i % kKinds);
    const int status = static_cast<int>((i / kKinds) % 2);
    // Hosts repeat themselves: the second report of a pair falls within the rate limit.
    for (int repeat = 0; repeat < 2; ++repeat) {
      if (diagnosis_.DataStatusReport(kind, status)) {
        ++status_accepted_;
      }
      ++status_reports_;
    }
    next += period;
  }
}

}  // namespace kelvaron_soak
