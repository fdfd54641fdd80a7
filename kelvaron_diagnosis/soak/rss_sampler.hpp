#pragma once

// Samples the process's resident set size on a thread of its own and judges whether it levelled
// off: after a warm-up third, the mean of the last third must stay within a tolerance of the
// mean of the middle third.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace kelvaron_soak
{

struct RssSample
{
  double seconds;  // since the sampler started
  int64_t kib;
  int64_t heap_kib;  // allocated through malloc, all arenas: tells leaks from fragmentation
};

// VmRSS of this process from /proc/self/status, in KiB; -1 when it cannot be read.
int64_t currentRssKib();
int64_t heapInUseKib();

class RssSampler
{
public:
  explicit RssSampler(std::chrono::milliseconds period);
  ~RssSampler();
  RssSampler(const RssSampler &) = delete;
  RssSampler & operator=(const RssSampler &) = delete;

  // Stops sampling and returns everything sampled.
  std::vector<RssSample> stop();

private:
  void run();

  std::chrono::milliseconds period_;
  std::chrono::steady_clock::time_point started_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_{false};
  std::vector<RssSample> samples_;
  std::thread thread_;
};

struct PlateauVerdict
{
  double middle_mean_kib{0};
  double last_mean_kib{0};
  double growth{0};  // (last - middle) / middle
  bool plateaued{false};
};

// Needs at least three samples in each third; `tolerance` is a fraction (0.05 = 5 %).
PlateauVerdict judgePlateau(const std::vector<RssSample> & samples, double tolerance);

// Every sample as "seconds,rss_kib,heap_kib" lines with a header, for plotting or a closer look.
void writeCsv(const std::string & path, const std::vector<RssSample> & samples);

// The curve in a few lines: start, end, extremes, the thirds' means and the verdict.
void printCurve(
  std::ostream & out, const std::vector<RssSample> & samples, const PlateauVerdict & verdict,
  double tolerance);

}  // namespace kelvaron_soak
