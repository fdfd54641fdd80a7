#include "support/sensor_files.hpp"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include <rclcpp/rclcpp.hpp>

#include "sensor_diagnosis/stream_table.hpp"

namespace kelvaron_bench
{

std::vector<std::string> sensorTopics(std::size_t count)
{
  std::vector<std::string> topics;
  topics.reserve(count);
  for (std::size_t row = 0; row < count && row < kelvaron::kStreamTableRows; ++row) {
    topics.emplace_back(kelvaron::streamTopic(row));
  }
  char name[64];
  for (std::size_t index = topics.size(); index < count; ++index) {
    std::snprintf(name, sizeof(name), "/bench/sensor_%04zu/points", index);
    topics.emplace_back(name);
  }
  return topics;
}

std::vector<std_msgs::msg::Header> sensorHeaders(std::size_t count)
{
  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  std::vector<std_msgs::msg::Header> headers(count);
  char frame[32];
  for (std::size_t index = 0; index < count; ++index) {
    std::snprintf(frame, sizeof(frame), "link_%04zu", index);
    headers[index].stamp = clock.now();
    headers[index].frame_id = frame;
  }
  return headers;
}

ScratchDir::ScratchDir()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "kelvaron_bench_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a scratch directory");
  }
  path_ = pattern;
}

ScratchDir::~ScratchDir()
{
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string writeThresholdFile(
  const std::filesystem::path & dir, const std::string & name, std::size_t count)
{
  const std::filesystem::path file = dir / name;
  std::ofstream out(file);
  out << "sensors:\n";
  for (const std::string & topic : sensorTopics(count)) {
    out << "  " << topic << ":\n"
        << "    normal_hz: " << kNormalHz << "\n"
        << "    low_ratio: " << kLowRatio << "\n"
        << "    cutoff_timeout_ms: " << kCutoffTimeoutMs << "\n"
        << "    cutoff_recovery_threshold: " << kRecoveryFrames << "\n"
        << "    abnormal_duration_ms: 2000\n";
  }
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
  return file.string();
}

DiscardStdout::DiscardStdout() : previous_(std::cout.rdbuf(&buffer_)) {}

DiscardStdout::~DiscardStdout()
{
  std::cout.rdbuf(previous_);
  std::cout.clear();
}

}  // namespace kelvaron_bench
