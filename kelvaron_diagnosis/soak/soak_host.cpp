// soak_host: runs a host with the default file's sensors at their normal rates, status events,
// the config watcher and periodic edits of a copy of the file, sampling RSS, for a bounded time.
// Prints "soak: " lines with the counts and the RSS curve; exits 0 when memory plateaued.
//
// Usage: soak_host --workdir DIR [--duration S] [--source FILE] [--edit-period S]
//                  [--sample-period S] [--status-period-ms MS] [--tolerance FRACTION]
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <ament_index_cpp/get_package_share_directory.hpp>
#include <rclcpp/rclcpp.hpp>

#include "host_load.hpp"
#include "rss_sampler.hpp"
#include "sensor_diagnosis.hpp"
#include "threshold_edits.hpp"

namespace
{

using namespace std::chrono_literals;
using kelvaron_soak::ThresholdEdit;

struct Options
{
  std::string workdir;
  std::string source;
  double duration_s{180};
  double edit_period_s{5};
  double sample_period_s{2};
  int status_period_ms{300};
  double tolerance{0.05};
};

bool parseOptions(int argc, char ** argv, Options & options)
{
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const std::string value = argv[i + 1];
    if (key == "--workdir") {
      options.workdir = value;
    } else if (key == "--source") {
      options.source = value;
    } else if (key == "--duration") {
      options.duration_s = std::atof(value.c_str());
    } else if (key == "--edit-period") {
      options.edit_period_s = std::atof(value.c_str());
    } else if (key == "--sample-period") {
      options.sample_period_s = std::atof(value.c_str());
    } else if (key == "--status-period-ms") {
      options.status_period_ms = std::atoi(value.c_str());
    } else if (key == "--tolerance") {
      options.tolerance = std::atof(value.c_str());
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && !options.workdir.empty() && options.duration_s > 0 &&
         options.edit_period_s > 0 && options.sample_period_s > 0 && options.status_period_ms > 0;
}

std::chrono::milliseconds millis(double seconds)
{
  return std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
}

struct EditCounts
{
  int valid{0};
  int invalid{0};
};

// Applies the cycle of edits every `period` until `deadline`. Each edit gets a modification
// time one second past the previous, so the watcher sees every one however fast they come.
EditCounts editUntil(
  const std::string & path, const std::vector<ThresholdEdit> & cycle,
  std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds period)
{
  EditCounts counts;
  int64_t stamp = static_cast<int64_t>(std::time(nullptr));
  auto next = std::chrono::steady_clock::now() + period;
  for (std::size_t i = 0; next < deadline; ++i, next += period) {
    std::this_thread::sleep_until(next);
    const ThresholdEdit & edit = cycle[i % cycle.size()];
    kelvaron_soak::applyEdit(path, edit.content, ++stamp);
    ++(edit.valid ? counts.valid : counts.invalid);
    std::cout << "soak: edit " << i + 1 << " (" << edit.name << ", "
              << (edit.valid ? "valid" : "invalid") << ")" << std::endl;
  }
  std::this_thread::sleep_until(deadline);
  return counts;
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::cerr << "usage: soak_host --workdir DIR [--duration S] [--source FILE] "
                 "[--edit-period S] [--sample-period S] [--status-period-ms MS] "
                 "[--tolerance FRACTION]\n";
    return 2;
  }
  try {
    if (options.source.empty()) {
      options.source = ament_index_cpp::get_package_share_directory("kelvaron_diagnosis") +
                       "/config/sensor_thresholds.yaml";
    }
    const std::string original = kelvaron_soak::readWholeFile(options.source);
    const std::string watched = options.workdir + "/sensor_thresholds.yaml";
    kelvaron_soak::applyEdit(watched, original, static_cast<int64_t>(std::time(nullptr)) - 1);
    const auto cycle = kelvaron_soak::editCycle(original);
    const auto streams = kelvaron_soak::streamsOf(original);

    rclcpp::init(1, argv);
    std::vector<kelvaron_soak::RssSample> samples;
    EditCounts edits;
    {
      kelvaron_soak::RssSampler sampler(millis(options.sample_period_s));
      Diagnosis diagnosis;
      if (!diagnosis.initialize(watched)) {
        std::cerr << "soak: the copy of " << options.source << " did not load" << std::endl;
        return 2;
      }
      diagnosis.startTimer();
      diagnosis.startConfigWatcher();
      std::cout << "soak: " << streams.size() << " sensors from " << options.source << ", watching "
                << watched << ", running " << options.duration_s << " s" << std::endl;
      const auto deadline = std::chrono::steady_clock::now() + millis(options.duration_s);
      kelvaron_soak::HostLoad load(
        diagnosis, streams, std::chrono::milliseconds(options.status_period_ms));
      edits = editUntil(watched, cycle, deadline, millis(options.edit_period_s));
      load.stop();
      diagnosis.stopConfigWatcher();
      diagnosis.stopTimer();
      samples = sampler.stop();
      std::cout << "soak: frames reported " << load.framesReported() << ", status reports "
                << load.statusReports() << " (" << load.statusAccepted() << " accepted), edits "
                << edits.valid << " valid + " << edits.invalid << " invalid" << std::endl;
    }
    rclcpp::shutdown();

    const auto verdict = kelvaron_soak::judgePlateau(samples, options.tolerance);
    kelvaron_soak::writeCsv(options.workdir + "/rss.csv", samples);
    kelvaron_soak::printCurve(std::cout, samples, verdict, options.tolerance);
    return verdict.plateaued ? 0 : 1;
  } catch (const std::exception & error) {
    std::cerr << "soak: " << error.what() << std::endl;
    return 2;
  }
}
