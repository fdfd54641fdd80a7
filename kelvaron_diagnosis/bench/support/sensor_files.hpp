#pragma once

// Sensor sets and threshold files of any size for the benchmarks, and a sink for the library's
// console lines.

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <streambuf>
#include <string>
#include <vector>

#include <std_msgs/msg/header.hpp>

namespace kelvaron_bench
{

// The first twelve are the stream table's topics; the rest are made up with names of a
// realistic length ("/bench/sensor_0012/points").
std::vector<std::string> sensorTopics(std::size_t count);

// A header as a driver stamps it: current time and a short frame id.
std::vector<std_msgs::msg::Header> sensorHeaders(std::size_t count);

// Limits every benchmark sensor shares: 10 Hz expected, low below 5 frames per second,
// 500 ms cut-off, 3 frames to recover, 2 s hold time.
constexpr float kNormalHz = 10.0F;
constexpr float kLowRatio = 0.5F;
constexpr long kCutoffTimeoutMs = 500;
constexpr long kRecoveryFrames = 3;

// A scratch directory removed with its contents at destruction.
class ScratchDir
{
public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir & operator=(const ScratchDir &) = delete;

  const std::filesystem::path & path() const { return path_; }

private:
  std::filesystem::path path_;
};

// Writes a valid threshold file of `count` sensors named `name` into `dir`; returns its path.
std::string writeThresholdFile(
  const std::filesystem::path & dir, const std::string & name, std::size_t count);

// Sends std::cout to a buffer that accepts and drops everything while it lives, so the
// library's console lines cost their formatting but never reach the terminal.
class DiscardStdout
{
public:
  DiscardStdout();
  ~DiscardStdout();
  DiscardStdout(const DiscardStdout &) = delete;
  DiscardStdout & operator=(const DiscardStdout &) = delete;

private:
  class DroppingBuffer : public std::streambuf
  {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char *, std::streamsize count) override { return count; }
  };
  DroppingBuffer buffer_;
  std::streambuf * previous_;
};

}  // namespace kelvaron_bench
