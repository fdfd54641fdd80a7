// What one kelvaron_diag_node takes on this machine: publishers in this process drive it at
// stepped rates while its health passes are timed from their events and its CPU time is read
// from /proc. One line per step; nothing here is a pass/fail test.
//
//   kelvaron_bench_node_load NODE_PROGRAM [SECONDS_PER_STEP]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <brimtale_protocol/msg/diagnostic_event.hpp>
#include <diagnostic_msgs/msg/diagnostic_array.hpp>
#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

#include "support/background_process.hpp"
#include "support/node_watch.hpp"
#include "support/process_cpu.hpp"
#include "support/sensor_files.hpp"

namespace
{

using Clock = std::chrono::steady_clock;

struct Step
{
  std::string name;
  int topics;
  std::size_t bytes;
  double total_rate_hz;
};

std::string thresholdFile(const std::string & dir, const Step & step)
{
  std::vector<std::string> topics;
  for (int i = 0; i < step.topics; ++i) {
    topics.push_back("/load_" + std::to_string(i));
  }
  return kelvaron_bench::writeNodeThresholdFile(
    dir + "/" + step.name + ".yaml", topics, step.total_rate_hz / step.topics);
}

// Watches what the node publishes: pass times from its events, frames from /diagnostics.
class NodeObserver
{
public:
  explicit NodeObserver(rclcpp::Node & node)
  {
    events_ = node.create_subscription<brimtale_protocol::msg::DiagnosticEvent>(
      "sensor_proxy_diag_topic", rclcpp::QoS(1000), [this](const auto &) {
        std::lock_guard<std::mutex> lock(mutex_);
        event_times_.push_back(Clock::now());
      });
    diagnostics_ = node.create_subscription<diagnostic_msgs::msg::DiagnosticArray>(
      "/diagnostics", rclcpp::QoS(10), [this](const diagnostic_msgs::msg::DiagnosticArray & array) {
        const int64_t frames = kelvaron_bench::framesTotal(array);
        std::lock_guard<std::mutex> lock(mutex_);
        counts_.push_back({array.header.stamp.sec + array.header.stamp.nanosec * 1e-9, frames});
      });
  }

  void startWindow()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    event_times_.clear();
  }

  // Frames the node counted per second between its first and last /diagnostics arrays stamped
  // inside [from_s, to_s] (wall-clock seconds), so the rate spans only time under load.
  double countedRate(double from_s, double to_s)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const FrameCount * first = nullptr;
    const FrameCount * last = nullptr;
    for (const FrameCount & count : counts_) {
      if (count.stamp_s >= from_s && count.stamp_s <= to_s) {
        first = first == nullptr ? &count : first;
        last = &count;
      }
    }
    if (first == nullptr || last == first) {
      return 0.0;
    }
    return static_cast<double>(last->frames - first->frames) / (last->stamp_s - first->stamp_s);
  }

  // Intervals between passes: a pass's events arrive together, passes 100 ms apart.
  std::vector<double> passIntervalsMs()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<double> intervals;
    Clock::time_point pass_start{};
    Clock::time_point previous{};
    for (const auto & at : event_times_) {
      if (previous == Clock::time_point{} || at - previous > std::chrono::milliseconds(40)) {
        if (pass_start != Clock::time_point{}) {
          intervals.push_back(std::chrono::duration<double, std::milli>(at - pass_start).count());
        }
        pass_start = at;
      }
      previous = at;
    }
    return intervals;
  }

private:
  struct FrameCount
  {
    double stamp_s;
    int64_t frames;
  };

  std::mutex mutex_;
  std::vector<Clock::time_point> event_times_;
  std::vector<FrameCount> counts_;
  std::shared_ptr<rclcpp::Subscription<brimtale_protocol::msg::DiagnosticEvent>> events_;
  std::shared_ptr<rclcpp::Subscription<diagnostic_msgs::msg::DiagnosticArray>> diagnostics_;
};

void runStep(
  const std::string & node_program, const std::string & dir, const Step & step, double seconds)
{
  const std::string config = thresholdFile(dir, step);
  BackgroundProcess node_process({node_program, "--config", config}, true);
  const pid_t pid = node_process.pid();

  auto node = std::make_shared<rclcpp::Node>("load_publishers");
  NodeObserver observer(*node);
  std::vector<std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>>> publishers;
  for (int i = 0; i < step.topics; ++i) {
    publishers.push_back(node->create_publisher<std_msgs::msg::Header>(
      "/load_" + std::to_string(i), rclcpp::QoS(10).best_effort()));
  }
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });

  std_msgs::msg::Header message;
  message.frame_id.assign(step.bytes, 'x');
  const auto period = std::chrono::duration<double>(1.0 / step.total_rate_hz);
  const auto publishFor = [&](double duration_s) -> int64_t {
    int64_t sent = 0;
    const auto start = Clock::now();
    const auto until = start + std::chrono::duration<double>(duration_s);
    auto next = start;
    while (Clock::now() < until) {
      message.stamp.sec = static_cast<int32_t>(std::time(nullptr));
      publishers[static_cast<std::size_t>(sent % step.topics)]->publish(message);
      ++sent;
      next += std::chrono::duration_cast<Clock::duration>(period);
      if (next > Clock::now()) {
        std::this_thread::sleep_until(next);
      }
    }
    return sent;
  };

  publishFor(4.0);  // discovery, the node's subscriptions, its first /diagnostics
  observer.startWindow();
  const long ticks_before = cpuTicks(pid);
  const auto wallSeconds = [] {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
      .count();
  };
  const double window_start_s = wallSeconds();
  const auto window_start = Clock::now();
  const int64_t sent = publishFor(seconds);
  const double elapsed = std::chrono::duration<double>(Clock::now() - window_start).count();
  const long ticks = cpuTicks(pid) - ticks_before;
  const double window_end_s = wallSeconds();

  const double published_rate = static_cast<double>(sent) / elapsed;
  const double counted_rate = observer.countedRate(window_start_s, window_end_s);
  const double cpu_share = static_cast<double>(ticks) / sysconf(_SC_CLK_TCK) / elapsed;
  std::vector<double> intervals = observer.passIntervalsMs();
  std::sort(intervals.begin(), intervals.end());
  double worst = 0;
  for (const double interval : intervals) {
    worst = std::max(worst, std::abs(interval - 100.0));
  }
  const double p95 = intervals.empty() ? 0 : intervals[intervals.size() * 95 / 100];
  std::printf(
    "%-8s target %8.0f/s  published %8.0f/s  counted %8.0f/s  node CPU %5.1f %% of a core"
    "  (%.2f %% per 1000/s)  pass interval p95 %6.1f ms, worst deviation %5.1f ms (%zu passes)\n",
    step.name.c_str(), step.total_rate_hz, published_rate, counted_rate, cpu_share * 100,
    published_rate > 0 ? cpu_share * 100 / (published_rate / 1000) : 0.0, p95, worst,
    intervals.size());
  std::fflush(stdout);

  executor.cancel();
  spinner.join();
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 2) {
    std::fprintf(stderr, "usage: kelvaron_bench_node_load NODE_PROGRAM [SECONDS_PER_STEP]\n");
    return 2;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
  rclcpp::init(0, nullptr);
  const kelvaron_bench::ScratchDir dir;
  const std::vector<Step> steps{
    {"10x1KB", 10, 1000, 5000},  {"10x1KB", 10, 1000, 10000}, {"10x1KB", 10, 1000, 25000},
    {"10x1KB", 10, 1000, 50000}, {"10x1KB", 10, 1000, 75000}, {"1x1MB", 1, 1000000, 30},
  };
  for (const Step & step : steps) {
    runStep(argv[1], dir.path().string(), step, seconds);
  }
  rclcpp::shutdown();
  return 0;
}
