// What kelvaron_diag_node costs above the least any node pays for the same subscriptions: on
// one load from publishers in this process, rounds alternate between kelvaron_bench_floor_node
// (generic subscriptions with the node's QoS, a callback that only counts) and
// kelvaron_diag_node on a threshold file of the same topics. Each gets the same publishers, the
// same warm-up and the same steady window, in which its CPU time (utime + stime) is read from
// /proc. Alternating the order spreads a noisy moment of this shared machine over both.
// Nothing here is a pass/fail test.
//
//   kelvaron_bench_floor NODE_PROGRAM FLOOR_PROGRAM [--rounds N] [--seconds S]
//                        [--loads small_10k,small_50k,large_10hz,burst] [--floor-loop spin|batches]
//
// --floor-loop chooses the floor's executor loop (see floor_node.cpp): rclcpp::spin by default.

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <diagnostic_msgs/msg/diagnostic_array.hpp>
#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

#include "support/background_process.hpp"
#include "support/node_watch.hpp"
#include "support/process_cpu.hpp"
#include "support/process_memory.hpp"
#include "support/sensor_files.hpp"

namespace
{

using Clock = std::chrono::steady_clock;

constexpr double kWarmUpSeconds = 2.0;
constexpr auto kMatchTimeout = std::chrono::seconds(30);
// After the publishers see the subscriber, the subscriber's side of the match may lag a little.
constexpr auto kMatchSettle = std::chrono::seconds(1);
constexpr auto kDrain = std::chrono::seconds(1);
constexpr auto kBurstDrain = std::chrono::seconds(3);

struct Load
{
  std::string name;
  int topics;
  std::size_t frame_id_bytes;
  double total_rate_hz;    // steady loads
  int burst_per_topic{0};  // burst load: this many messages a topic, as fast as they go out
  bool large{false};       // read without header: see thresholdFile
};

const std::vector<Load> kLoads{
  {"small_10k", 20, 16, 10000},
  {"small_50k", 20, 16, 50000},
  {"large_10hz", 4, 2000000, 40, 0, true},
  {"burst", 4, 2000000, 0, 200, true},
};

std::string topicName(const Load & load, int index)
{
  return "/floor_" + load.name + "_" + std::to_string(index);
}

// The node's file for a load. The stand-in knows no type with a large body after a short
// header, so the large loads carry their 2 MB in std_msgs/Header's frame_id; `header: false`
// keeps the node from copying that string as a frame id, as it would not for a real image.
std::string thresholdFile(const std::string & dir, const Load & load)
{
  std::vector<std::string> topics;
  for (int i = 0; i < load.topics; ++i) {
    topics.push_back(topicName(load, i));
  }
  const double per_topic_hz = load.total_rate_hz > 0 ? load.total_rate_hz / load.topics : 10.0;
  return kelvaron_bench::writeNodeThresholdFile(
    dir + "/" + load.name + ".yaml", topics, per_topic_hz, load.large);
}

// Frames kelvaron_diag_node has counted, from its /diagnostics arrays (sum of frames_total).
class DiagnosticsWatcher
{
public:
  explicit DiagnosticsWatcher(rclcpp::Node & node)
  {
    subscription_ = node.create_subscription<diagnostic_msgs::msg::DiagnosticArray>(
      "/diagnostics", rclcpp::QoS(10), [this](const diagnostic_msgs::msg::DiagnosticArray & array) {
        const int64_t frames = kelvaron_bench::framesTotal(array);
        std::lock_guard<std::mutex> lock(mutex_);
        latest_ = {Clock::now(), frames};
      });
  }

  // The count of the first array received after `after`; nothing when none comes in time.
  std::optional<int64_t> framesAfter(Clock::time_point after, std::chrono::seconds limit)
  {
    const auto until = Clock::now() + limit;
    while (Clock::now() < until) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (latest_.received > after) {
          return latest_.frames;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

private:
  struct Latest
  {
    Clock::time_point received{};
    int64_t frames{0};
  };
  std::mutex mutex_;
  Latest latest_;
  std::shared_ptr<rclcpp::Subscription<diagnostic_msgs::msg::DiagnosticArray>> subscription_;
};

// The load's publishers: best effort, std_msgs/Header, round robin over the topics.
class LoadPublishers
{
public:
  LoadPublishers(rclcpp::Node & node, const Load & load) : load_(load)
  {
    for (int i = 0; i < load.topics; ++i) {
      publishers_.push_back(node.create_publisher<std_msgs::msg::Header>(
        topicName(load, i), rclcpp::QoS(10).best_effort()));
    }
    message_.frame_id.assign(load.frame_id_bytes, load.large ? 'x' : 'f');
  }

  // Whether every publisher sees exactly `count` subscribers within `limit`.
  bool waitForSubscribers(std::size_t count, std::chrono::seconds limit) const
  {
    const auto until = Clock::now() + limit;
    while (Clock::now() < until) {
      if (std::all_of(publishers_.begin(), publishers_.end(), [count](const auto & publisher) {
            return publisher->get_subscription_count() == count;
          })) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  // Publishes at the load's total rate for `seconds`; the number sent.
  int64_t publishFor(double seconds)
  {
    const auto period = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(1.0 / load_.total_rate_hz));
    const auto start = Clock::now();
    const auto until =
      start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    auto next = start;
    int64_t sent = 0;
    while (Clock::now() < until) {
      publishOne(static_cast<std::size_t>(sent % load_.topics));
      ++sent;
      next += period;
      if (next > Clock::now()) {
        std::this_thread::sleep_until(next);
      }
    }
    return sent;
  }

  // Every topic gets `per_topic` messages back to back; the number sent.
  int64_t burst(int per_topic)
  {
    int64_t sent = 0;
    for (int i = 0; i < per_topic; ++i) {
      for (std::size_t topic = 0; topic < publishers_.size(); ++topic) {
        publishOne(topic);
        ++sent;
      }
    }
    return sent;
  }

private:
  void publishOne(std::size_t topic)
  {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now);
    message_.stamp.sec = static_cast<int32_t>(seconds.count());
    message_.stamp.nanosec = static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now - seconds).count());
    publishers_[topic]->publish(message_);
  }

  const Load & load_;
  std_msgs::msg::Header message_;
  std::vector<std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>>> publishers_;
};

enum class Target
{
  kFloor,
  kNode
};

struct Measurement
{
  bool matched{false};
  double cpu_share{0};    // over the steady window, of one core
  double phase_cpu_s{0};  // from the first message sent to the end of the drain
  double published_rate{0};
  double target_rate{0};
  int64_t sent{0};
  std::optional<int64_t> counted;
  long peak_rss_kb{0};
  long rss_before_kb{0};  // burst: peak RSS just before the burst
  double burst_seconds{0};

  bool allCounted() const { return counted && *counted == sent; }
  bool keptUp() const { return published_rate >= 0.98 * target_rate; }
  // CPU time per message counted: fair also when one of the two lost messages.
  double microsecondsPerMessage() const
  {
    return counted && *counted > 0 ? phase_cpu_s * 1e6 / static_cast<double>(*counted) : 0.0;
  }
};

struct Bench
{
  std::string node_program;
  std::string floor_program;
  std::string floor_loop{"spin"};
  std::string dir;
  double seconds{10};
  LoadPublishers * publishers{nullptr};
  DiagnosticsWatcher * diagnostics{nullptr};
};

std::optional<int64_t> readCount(const std::string & path)
{
  std::ifstream in(path);
  long long count = 0;
  if (in >> count) {
    return count;
  }
  return std::nullopt;
}

Measurement measure(const Bench & bench, const Load & load, Target target)
{
  const std::string count_file = bench.dir + "/floor_count";
  std::vector<std::string> argv;
  if (target == Target::kFloor) {
    std::remove(count_file.c_str());
    const std::string prefix = "/floor_" + load.name + "_";
    argv = {bench.floor_program, "--type", "std_msgs/msg/Header", "--count-file", count_file};
    argv.insert(argv.end(), {"--prefix", prefix, "--count", std::to_string(load.topics)});
    argv.insert(argv.end(), {"--loop", bench.floor_loop});
  } else {
    argv = {bench.node_program, "--config", thresholdFile(bench.dir, load)};
  }
  Measurement result;
  BackgroundProcess process(argv, true);
  const pid_t pid = process.pid();
  result.matched = bench.publishers->waitForSubscribers(1, kMatchTimeout);
  if (!result.matched) {
    return result;
  }
  std::this_thread::sleep_for(kMatchSettle);

  if (load.burst_per_topic > 0) {
    result.rss_before_kb = peakRssKb(pid);
    const auto start = Clock::now();
    result.sent = bench.publishers->burst(load.burst_per_topic);
    result.burst_seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::this_thread::sleep_for(kBurstDrain);
  } else {
    const long phase_ticks_before = cpuTicks(pid);
    result.sent = bench.publishers->publishFor(kWarmUpSeconds);
    const long ticks_before = cpuTicks(pid);
    const auto start = Clock::now();
    const int64_t sent = bench.publishers->publishFor(bench.seconds);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const long ticks = cpuTicks(pid) - ticks_before;
    result.sent += sent;
    result.published_rate = static_cast<double>(sent) / elapsed;
    result.target_rate = load.total_rate_hz;
    const auto ticks_per_second = static_cast<double>(sysconf(_SC_CLK_TCK));
    result.cpu_share = static_cast<double>(ticks) / ticks_per_second / elapsed;
    std::this_thread::sleep_for(kDrain);
    result.phase_cpu_s = static_cast<double>(cpuTicks(pid) - phase_ticks_before) / ticks_per_second;
  }
  result.peak_rss_kb = peakRssKb(pid);

  if (target == Target::kNode) {
    result.counted = bench.diagnostics->framesAfter(Clock::now(), std::chrono::seconds(5));
    process.stop(SIGINT);
  } else if (process.stop(SIGINT) == 0) {
    result.counted = readCount(count_file);
  }
  // The next process must be the only subscriber when it is measured.
  bench.publishers->waitForSubscribers(0, std::chrono::seconds(15));
  return result;
}

std::string countText(const Measurement & m)
{
  if (!m.matched) {
    return "never subscribed";
  }
  return (m.counted ? std::to_string(*m.counted) : std::string("?")) + "/" +
         std::to_string(m.sent) + " counted";
}

double megabytes(long kb) { return static_cast<double>(kb) / 1024.0; }

double median(std::vector<double> values)
{
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printRound(
  const Load & load, int round, int rounds, const Measurement & floor, const Measurement & node)
{
  if (load.burst_per_topic > 0) {
    std::printf(
      "%-10s round %d/%d  floor: %s in %.1f s, peak RSS %.1f MB (%.1f MB before)"
      "  |  node: %s in %.1f s, peak RSS %.1f MB (%.1f MB before)\n",
      load.name.c_str(), round, rounds, countText(floor).c_str(), floor.burst_seconds,
      megabytes(floor.peak_rss_kb), megabytes(floor.rss_before_kb), countText(node).c_str(),
      node.burst_seconds, megabytes(node.peak_rss_kb), megabytes(node.rss_before_kb));
  } else {
    const auto side = [](const Measurement & m) {
      char text[200];
      std::snprintf(
        text, sizeof(text), "CPU %5.1f %%, %s (%.1f us each), peak RSS %.1f MB, published %.0f/s%s",
        m.cpu_share * 100, countText(m).c_str(), m.microsecondsPerMessage(),
        megabytes(m.peak_rss_kb), m.published_rate, m.keptUp() ? "" : " BEHIND");
      return std::string(text);
    };
    const double per_message_floor = floor.microsecondsPerMessage();
    std::printf(
      "%-10s round %d/%d  floor: %s  |  node: %s  |  node/floor CPU %.2f, per message %.2f\n",
      load.name.c_str(), round, rounds, side(floor).c_str(), side(node).c_str(),
      floor.cpu_share > 0 ? node.cpu_share / floor.cpu_share : 0.0,
      per_message_floor > 0 ? node.microsecondsPerMessage() / per_message_floor : 0.0);
  }
  std::fflush(stdout);
}

void printSummary(
  const Load & load, const std::vector<Measurement> & floors,
  const std::vector<Measurement> & nodes)
{
  std::vector<double> floor_cpu, node_cpu, ratios, rates, floor_rss, node_rss;
  std::vector<double> floor_us, node_us;
  int floor_all = 0;
  int node_all = 0;
  int kept_up = 0;
  for (std::size_t i = 0; i < floors.size(); ++i) {
    floor_cpu.push_back(floors[i].cpu_share * 100);
    node_cpu.push_back(nodes[i].cpu_share * 100);
    if (floors[i].cpu_share > 0) {
      ratios.push_back(nodes[i].cpu_share / floors[i].cpu_share);
    }
    rates.push_back(floors[i].published_rate);
    rates.push_back(nodes[i].published_rate);
    floor_rss.push_back(megabytes(floors[i].peak_rss_kb));
    node_rss.push_back(megabytes(nodes[i].peak_rss_kb));
    floor_all += floors[i].allCounted() ? 1 : 0;
    node_all += nodes[i].allCounted() ? 1 : 0;
    kept_up += (floors[i].keptUp() ? 1 : 0) + (nodes[i].keptUp() ? 1 : 0);
    floor_us.push_back(floors[i].microsecondsPerMessage());
    node_us.push_back(nodes[i].microsecondsPerMessage());
  }
  const auto [min_ratio, max_ratio] = std::minmax_element(ratios.begin(), ratios.end());
  const auto [min_rate, max_rate] = std::minmax_element(rates.begin(), rates.end());
  const double floor_median = median(floor_cpu);
  const double node_median = median(node_cpu);
  std::printf(
    "%-10s SUMMARY over %zu rounds: %d topics, %zu-byte frame_id", load.name.c_str(), floors.size(),
    load.topics, load.frame_id_bytes);
  if (load.burst_per_topic > 0) {
    std::printf(
      ", burst of %d a topic: peak RSS median floor %.1f MB, node %.1f MB (max floor %.1f MB,"
      " node %.1f MB); every message counted in %d/%zu floor rounds, %d/%zu node rounds\n",
      load.burst_per_topic, median(floor_rss), median(node_rss),
      *std::max_element(floor_rss.begin(), floor_rss.end()),
      *std::max_element(node_rss.begin(), node_rss.end()), floor_all, floors.size(), node_all,
      nodes.size());
  } else {
    std::printf(
      ", target %.0f/s, published %.0f-%.0f/s (kept up in %d of %zu measurements): CPU median"
      " floor %.1f %%, node %.1f %% of a core; ratio of medians %.2f (rounds %.2f-%.2f); CPU per"
      " counted message median floor %.1f us, node %.1f us, ratio %.2f; every message counted in"
      " %d/%zu floor rounds, %d/%zu node rounds; peak RSS median floor %.1f MB, node %.1f MB\n",
      load.total_rate_hz, rates.empty() ? 0.0 : *min_rate, rates.empty() ? 0.0 : *max_rate, kept_up,
      2 * floors.size(), floor_median, node_median,
      floor_median > 0 ? node_median / floor_median : 0.0, ratios.empty() ? 0.0 : *min_ratio,
      ratios.empty() ? 0.0 : *max_ratio, median(floor_us), median(node_us),
      median(floor_us) > 0 ? median(node_us) / median(floor_us) : 0.0, floor_all, floors.size(),
      node_all, nodes.size(), median(floor_rss), median(node_rss));
  }
  std::fflush(stdout);
}

void runLoad(Bench bench, const Load & load, int rounds)
{
  auto node = std::make_shared<rclcpp::Node>("floor_bench_publishers");
  DiagnosticsWatcher diagnostics(*node);
  LoadPublishers publishers(*node, load);
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });
  bench.publishers = &publishers;
  bench.diagnostics = &diagnostics;

  std::vector<Measurement> floors;
  std::vector<Measurement> nodes;
  for (int round = 1; round <= rounds; ++round) {
    // Odd rounds measure the floor first, even rounds the node.
    const bool floor_first = round % 2 == 1;
    Measurement first = measure(bench, load, floor_first ? Target::kFloor : Target::kNode);
    Measurement second = measure(bench, load, floor_first ? Target::kNode : Target::kFloor);
    floors.push_back(floor_first ? first : second);
    nodes.push_back(floor_first ? second : first);
    printRound(load, round, rounds, floors.back(), nodes.back());
  }
  printSummary(load, floors, nodes);

  executor.cancel();
  spinner.join();
}

int usage()
{
  std::fprintf(
    stderr,
    "usage: kelvaron_bench_floor NODE_PROGRAM FLOOR_PROGRAM [--rounds N] [--seconds S]"
    " [--loads small_10k,small_50k,large_10hz,burst] [--floor-loop spin|batches]\n");
  return 2;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 3) {
    return usage();
  }
  Bench bench;
  bench.node_program = argv[1];
  bench.floor_program = argv[2];
  int rounds = 5;
  std::string wanted = "small_10k,small_50k,large_10hz,burst";
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--rounds") {
      rounds = std::max(1, std::atoi(argv[i + 1]));
    } else if (option == "--seconds") {
      bench.seconds = std::atof(argv[i + 1]);
    } else if (option == "--loads") {
      wanted = argv[i + 1];
    } else if (option == "--floor-loop") {
      bench.floor_loop = argv[i + 1];
    } else {
      return usage();
    }
  }
  if (argc % 2 == 0) {
    return usage();  // an option without its value
  }
  rclcpp::init(0, nullptr);
  {
    const kelvaron_bench::ScratchDir dir;
    bench.dir = dir.path().string();
    std::printf(
      "node %s, floor %s (loop: %s); %d rounds, %.0f s windows after %.0f s of warm-up\n",
      bench.node_program.c_str(), bench.floor_program.c_str(), bench.floor_loop.c_str(), rounds,
      bench.seconds, kWarmUpSeconds);
    for (const Load & load : kLoads) {
      if (("," + wanted + ",").find("," + load.name + ",") != std::string::npos) {
        runLoad(bench, load, rounds);
      }
    }
  }
  rclcpp::shutdown();
  return 0;
}
