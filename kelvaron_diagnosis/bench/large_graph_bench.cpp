// kelvaron_diag_node in a large graph: a threshold file of WATCHED topics while another process
// (kelvaron_bench_graph_publishers) holds publishers on TOPICS topics, the file's among them,
// that never publish. Two figures, neither a pass/fail test:
//
// - TopicMonitor::refresh, the node's once-a-second walk over its file and the graph, timed
//   here in this process against the live graph, with the node's own loop around it (library
//   timer and config watcher running, the executor spun between refreshes). The graph query
//   alone (Node::get_topic_names_and_types) is timed just before each refresh, as its floor.
// - The CPU of kelvaron_diag_node itself, started on the same file once this process has let go,
//   over consecutive windows once it has subscribed to every topic of its file.
//
//   kelvaron_bench_large_graph NODE_PROGRAM PUBLISHERS_PROGRAM [--topics N] [--watched N]
//                              [--refreshes N] [--windows N] [--seconds S]

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "support/background_process.hpp"
#include "support/graph_topics.hpp"
#include "support/node_watch.hpp"
#include "support/percentile.hpp"
#include "support/process_cpu.hpp"
#include "support/process_memory.hpp"
#include "support/thread_cpu_time.hpp"
#include "topic_monitor.hpp"

namespace
{

using kelvaron_bench::percentile;

using Clock = std::chrono::steady_clock;

constexpr auto kRefreshPeriod = std::chrono::seconds(1);
constexpr auto kDiscoveryLimit = std::chrono::seconds(180);

struct Settings
{
  std::string node_program;
  std::string publishers_program;
  std::size_t topics{5000};
  std::size_t watched{1000};
  int refreshes{30};
  int windows{3};
  double seconds{30};
};

// A scratch directory, removed with its contents at destruction.
class ScratchDir
{
public:
  ScratchDir()
  {
    std::string pattern =
      (std::filesystem::temp_directory_path() / "kelvaron_graph_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a scratch directory");
    }
    path_ = pattern;
  }
  ~ScratchDir()
  {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir & operator=(const ScratchDir &) = delete;

  std::string file(const std::string & name) const { return (path_ / name).string(); }

private:
  std::filesystem::path path_;
};

std::string writeThresholdFile(const std::string & path, std::size_t watched)
{
  std::vector<std::string> topics;
  for (std::size_t i = 0; i < watched; ++i) {
    topics.push_back(graphTopic(i));
  }
  return kelvaron_bench::writeNodeThresholdFile(path, topics, 10.0);
}

// What the publisher process last wrote: publishers created, file topics with a subscriber.
struct PublisherStatus
{
  std::size_t created{0};
  std::size_t subscribed{0};
};

PublisherStatus readStatus(const std::string & path)
{
  PublisherStatus status;
  std::ifstream(path) >> status.created >> status.subscribed;
  return status;
}

// Waits until `done` holds for the publisher process's status; whether it did in time.
template <typename Predicate>
bool waitForStatus(const std::string & path, Predicate done)
{
  const auto until = Clock::now() + kDiscoveryLimit;
  while (Clock::now() < until) {
    if (done(readStatus(path))) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return false;
}

double millisecondsSince(Clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Refreshes against the live graph, in the node's own loop; prints the figures.
void timeRefresh(const Settings & settings, const std::string & config)
{
  auto node = std::make_shared<rclcpp::Node>("large_graph_monitor");
  const auto discovery_start = Clock::now();
  std::size_t seen = 0;
  while (Clock::now() - discovery_start < kDiscoveryLimit) {
    seen = node->get_topic_names_and_types().size();
    if (seen >= settings.topics) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  std::printf(
    "graph: %zu topics known to this process after %.1f s of discovery\n", seen,
    millisecondsSince(discovery_start) / 1000);

  Diagnosis diagnosis;
  diagnosis.useHostNode(node);
  if (!diagnosis.initialize(config)) {
    std::printf("the threshold file did not load\n");
    return;
  }
  diagnosis.startTimer();
  diagnosis.startConfigWatcher();
  kelvaron::diag_node::TopicMonitor monitor(*node, diagnosis, config);
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);

  double first_ms = 0;
  std::vector<double> refresh_ms;
  std::vector<double> refresh_cpu_ms;
  std::vector<double> graph_ms;
  for (int i = 0; i <= settings.refreshes; ++i) {
    const auto graph_start = Clock::now();
    const std::size_t graph_size = node->get_topic_names_and_types().size();
    const double graph_time = millisecondsSince(graph_start);

    const double cpu_start = kelvaron_bench::threadCpuSeconds();
    const auto start = Clock::now();
    monitor.refresh();
    const double wall = millisecondsSince(start);
    const double cpu = (kelvaron_bench::threadCpuSeconds() - cpu_start) * 1000;
    if (i == 0) {
      first_ms = wall;
      std::printf(
        "first refresh (subscribes to %zu topics of %zu in the graph): %.1f ms\n",
        monitor.watchedTopics().size(), graph_size, first_ms);
    } else {
      refresh_ms.push_back(wall);
      refresh_cpu_ms.push_back(cpu);
      graph_ms.push_back(graph_time);
    }
    const auto next = start + kRefreshPeriod;
    while (Clock::now() < next) {
      executor.spin_once(std::chrono::milliseconds(100));
      executor.spin_all(std::chrono::milliseconds(50));
    }
  }
  std::printf(
    "refresh, %zu watched of %zu topics, %d refreshes: wall p50 %.2f ms, p95 %.2f ms, max %.2f ms"
    " (goal < 50 ms); thread CPU p50 %.2f ms; graph query alone p50 %.2f ms, p95 %.2f ms,"
    " max %.2f ms\n",
    monitor.watchedTopics().size(), settings.topics, settings.refreshes,
    percentile(refresh_ms, 0.5), percentile(refresh_ms, 0.95), percentile(refresh_ms, 1.0),
    percentile(refresh_cpu_ms, 0.5), percentile(graph_ms, 0.5), percentile(graph_ms, 0.95),
    percentile(graph_ms, 1.0));
  std::fflush(stdout);
  executor.remove_node(node);
}

// kelvaron_diag_node on the file, idle: CPU over consecutive windows; prints the figures.
void measureIdleNode(
  const Settings & settings, const std::string & config, const std::string & status)
{
  const auto start = Clock::now();
  BackgroundProcess node({settings.node_program, "--config", config}, true);
  const bool all_subscribed = waitForStatus(
    status, [&settings](const PublisherStatus & s) { return s.subscribed >= settings.watched; });
  std::printf(
    "kelvaron_diag_node: %s %zu file topics after %.1f s\n",
    all_subscribed ? "subscribed to all" : "did NOT subscribe to all", settings.watched,
    millisecondsSince(start) / 1000);
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::seconds(5));  // the subscriptions' own discovery

  std::vector<double> shares;
  for (int window = 1; window <= settings.windows; ++window) {
    const long before = cpuTicks(node.pid());
    const auto window_start = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(settings.seconds));
    const double elapsed = std::chrono::duration<double>(Clock::now() - window_start).count();
    const double share = static_cast<double>(cpuTicks(node.pid()) - before) /
                         static_cast<double>(sysconf(_SC_CLK_TCK)) / elapsed;
    shares.push_back(share * 100);
    std::printf(
      "idle node window %d/%d: CPU %.2f %% of a core over %.0f s\n", window, settings.windows,
      share * 100, elapsed);
    std::fflush(stdout);
  }
  std::printf(
    "idle kelvaron_diag_node, %zu watched of %zu topics: CPU median %.2f %% of a core (windows"
    " %.2f-%.2f %%, goal < 2 %%), peak RSS %.1f MB\n",
    settings.watched, settings.topics, percentile(shares, 0.5), percentile(shares, 0.0),
    percentile(shares, 1.0), static_cast<double>(peakRssKb(node.pid())) / 1024);
  std::fflush(stdout);
}

int usage()
{
  std::fprintf(
    stderr,
    "usage: kelvaron_bench_large_graph NODE_PROGRAM PUBLISHERS_PROGRAM [--topics N]"
    " [--watched N] [--refreshes N] [--windows N] [--seconds S]\n");
  return 2;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 3 || argc % 2 == 0) {
    return usage();
  }
  Settings settings;
  settings.node_program = argv[1];
  settings.publishers_program = argv[2];
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const char * value = argv[i + 1];
    if (option == "--topics") {
      settings.topics = static_cast<std::size_t>(std::atol(value));
    } else if (option == "--watched") {
      settings.watched = static_cast<std::size_t>(std::atol(value));
    } else if (option == "--refreshes") {
      settings.refreshes = std::max(1, std::atoi(value));
    } else if (option == "--windows") {
      settings.windows = std::max(1, std::atoi(value));
    } else if (option == "--seconds") {
      settings.seconds = std::atof(value);
    } else {
      return usage();
    }
  }
  settings.watched = std::min(settings.watched, settings.topics);

  rclcpp::init(0, nullptr);
  {
    const ScratchDir dir;
    const std::string config = writeThresholdFile(dir.file("graph.yaml"), settings.watched);
    const std::string status = dir.file("publishers.status");
    const auto start = Clock::now();
    BackgroundProcess publishers(
      {settings.publishers_program, std::to_string(settings.topics),
       std::to_string(settings.watched), status},
      true);
    if (!waitForStatus(status, [&settings](const PublisherStatus & s) {
          return s.created >= settings.topics;
        })) {
      std::printf("the publisher process did not create its %zu publishers\n", settings.topics);
      return 1;
    }
    std::printf(
      "%zu publishers created in another process in %.1f s; %zu of their topics in the file\n",
      settings.topics, millisecondsSince(start) / 1000, settings.watched);
    std::fflush(stdout);

    timeRefresh(settings, config);
    // The idle node must be the only subscriber it is measured as.
    waitForStatus(status, [](const PublisherStatus & s) { return s.subscribed == 0; });
    measureIdleNode(settings, config, status);
  }
  rclcpp::shutdown();
  return 0;
}
