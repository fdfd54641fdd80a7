#include "rss_sampler.hpp"

#include <malloc.h>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>

namespace kelvaron_soak
{

int64_t currentRssKib()
{
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      std::istringstream fields(line.substr(6));
      int64_t kib = -1;
      fields >> kib;
      return kib;
    }
  }
  return -1;
}

int64_t heapInUseKib()
{
  // Small blocks in every arena plus the large ones malloc maps on their own.
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>((info.uordblks + info.hblkhd) / 1024);
}

RssSampler::RssSampler(std::chrono::milliseconds period)
: period_(period), started_(std::chrono::steady_clock::now()), thread_([this] { run(); })
{
}

RssSampler::~RssSampler() { stop(); }

std::vector<RssSample> RssSampler::stop()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_;
}

void RssSampler::run()
{
  std::unique_lock<std::mutex> lock(mutex_);
  auto next = started_;
  // Samples only on the period: the stop comes while the host is already winding down.
  while (!stopping_) {
    const auto now = std::chrono::steady_clock::now();
    samples_.push_back(
      {std::chrono::duration<double>(now - started_).count(), currentRssKib(), heapInUseKib()});
    next += period_;
    wake_.wait_until(lock, next, [this] { return stopping_; });
  }
}

namespace
{

double meanOf(const std::vector<RssSample> & samples, double from, double until, int & count)
{
  double sum = 0;
  count = 0;
  for (const RssSample & sample : samples) {
    if (sample.seconds >= from && sample.seconds < until && sample.kib >= 0) {
      sum += static_cast<double>(sample.kib);
      ++count;
    }
  }
  return count > 0 ? sum / count : 0;
}

}  // namespace

PlateauVerdict judgePlateau(const std::vector<RssSample> & samples, double tolerance)
{
  PlateauVerdict verdict;
  if (samples.empty()) {
    return verdict;
  }
  const double span = samples.back().seconds;
  int middle_count = 0;
  int last_count = 0;
  verdict.middle_mean_kib = meanOf(samples, span / 3, 2 * span / 3, middle_count);
  // The last third includes the final sample.
  verdict.last_mean_kib = meanOf(samples, 2 * span / 3, span + 1, last_count);
  if (middle_count < 3 || last_count < 3 || verdict.middle_mean_kib <= 0) {
    return verdict;
  }
  verdict.growth = (verdict.last_mean_kib - verdict.middle_mean_kib) / verdict.middle_mean_kib;
  verdict.plateaued = verdict.growth <= tolerance;
  return verdict;
}

void writeCsv(const std::string & path, const std::vector<RssSample> & samples)
{
  std::ofstream csv(path);
  csv << "seconds,rss_kib,heap_kib\n" << std::fixed << std::setprecision(1);
  for (const RssSample & sample : samples) {
    csv << sample.seconds << ',' << sample.kib << ',' << sample.heap_kib << '\n';
  }
}

void printCurve(
  std::ostream & out, const std::vector<RssSample> & samples, const PlateauVerdict & verdict,
  double tolerance)
{
  if (samples.empty()) {
    out << "soak: no RSS samples\n";
    return;
  }
  const auto [low, high] = std::minmax_element(
    samples.begin(), samples.end(),
    [](const RssSample & a, const RssSample & b) { return a.kib < b.kib; });
  out << std::fixed << std::setprecision(1);
  out << "soak: rss samples " << samples.size() << " over " << samples.back().seconds << " s\n";
  const std::size_t shown = std::min<std::size_t>(5, samples.size());
  out << "soak: rss curve start:";
  for (std::size_t i = 0; i < shown; ++i) {
    out << ' ' << samples[i].seconds << "s=" << samples[i].kib;
  }
  out << " KiB\nsoak: rss curve end:  ";
  for (std::size_t i = samples.size() - shown; i < samples.size(); ++i) {
    out << ' ' << samples[i].seconds << "s=" << samples[i].kib;
  }
  out << " KiB\n";
  out << "soak: heap in use start " << samples.front().heap_kib << " KiB, end "
      << samples.back().heap_kib << " KiB\n";
  out << "soak: rss min " << low->kib << " KiB at " << low->seconds << " s, max " << high->kib
      << " KiB at " << high->seconds << " s\n";
  out << "soak: rss mean middle third " << verdict.middle_mean_kib << " KiB, last third "
      << verdict.last_mean_kib << " KiB, growth " << std::showpos << verdict.growth * 100
      << std::noshowpos << " % (tolerance " << tolerance * 100 << " %)\n";
  out << "soak: memory " << (verdict.plateaued ? "PLATEAUED" : "DID NOT PLATEAU") << std::endl;
}

}  // namespace kelvaron_soak
