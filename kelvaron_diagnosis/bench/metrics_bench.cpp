// What kelvaron_diag_node's Prometheus endpoint costs with 1000 streams, each fed at 1 Hz by
// publishers in this process: the wall time of a scrape over HTTP, and the node's CPU time
// (from /proc) with the endpoint off and on at one scrape a second, in alternating rounds so
// that a noisy moment of the machine spreads over both. Nothing here is a pass/fail test.
//
//   kelvaron_bench_metrics NODE_PROGRAM [SECONDS_PER_ROUND]

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

#include "support/background_process.hpp"
#include "support/loopback_http.hpp"
#include "support/percentile.hpp"
#include "support/process_cpu.hpp"
#include "support/sensor_files.hpp"

namespace
{

using kelvaron_bench::percentile;

using Clock = std::chrono::steady_clock;

constexpr std::size_t kStreams = 1000;
constexpr int kRounds = 2;
constexpr int kLatencyScrapes = 40;

// Publishes one frame on every topic once a second from its own thread.
class Feeder
{
public:
  explicit Feeder(const std::vector<std::string> & topics)
  : node_(std::make_shared<rclcpp::Node>("metrics_bench_publishers"))
  {
    for (const std::string & topic : topics) {
      publishers_.push_back(
        node_->create_publisher<std_msgs::msg::Header>(topic, rclcpp::QoS(10).best_effort()));
    }
    thread_ = std::thread([this] { run(); });
  }
  ~Feeder()
  {
    running_ = false;
    thread_.join();
  }
  Feeder(const Feeder &) = delete;
  Feeder & operator=(const Feeder &) = delete;

private:
  void run()
  {
    rclcpp::Clock clock(RCL_SYSTEM_TIME);
    std_msgs::msg::Header header;
    header.frame_id = "bench_link";
    auto next = Clock::now();
    while (running_) {
      header.stamp = clock.now();
      for (const auto & publisher : publishers_) {
        publisher->publish(header);
      }
      next += std::chrono::seconds(1);
      while (running_ && Clock::now() < next) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    }
  }

  std::shared_ptr<rclcpp::Node> node_;
  std::vector<std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>>> publishers_;
  std::atomic<bool> running_{true};
  std::thread thread_;
};

struct Round
{
  double cpu_share{0};
  std::vector<double> scrape_ms;
  std::size_t bytes{0};
};

// One node for one round: started, given time to subscribe to every topic, then measured.
Round runRound(
  const std::string & node_program, const std::string & config, bool metrics, double seconds)
{
  const int port = freePort();
  std::vector<std::string> argv{node_program, "--config", config};
  if (metrics) {
    argv.insert(argv.end(), {"--ros-args", "-p", "metrics_port:=" + std::to_string(port)});
  }
  BackgroundProcess node(argv, true);
  std::this_thread::sleep_for(std::chrono::seconds(10));  // discovery and subscriptions

  Round round;
  if (metrics) {
    for (int i = 0; i < kLatencyScrapes; ++i) {
      const auto start = Clock::now();
      const std::optional<std::string> body = httpGet(port, "/metrics");
      round.scrape_ms.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      round.bytes = body ? body->size() : 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }

  const long before = cpuTicks(node.pid());
  const auto start = Clock::now();
  auto next = start;
  while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
    if (metrics) {
      httpGet(port, "/metrics");
    }
    next += std::chrono::seconds(1);
    std::this_thread::sleep_until(next);
  }
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  round.cpu_share =
    static_cast<double>(cpuTicks(node.pid()) - before) / sysconf(_SC_CLK_TCK) / elapsed;
  return round;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 2) {
    std::fprintf(stderr, "usage: kelvaron_bench_metrics NODE_PROGRAM [SECONDS_PER_ROUND]\n");
    return 2;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 20.0;
  rclcpp::init(0, nullptr);
  {
    const kelvaron_bench::ScratchDir dir;
    const std::string config =
      kelvaron_bench::writeThresholdFile(dir.path(), "streams.yaml", kStreams);
    const Feeder feeder(kelvaron_bench::sensorTopics(kStreams));
    double off = 0;
    double on = 0;
    std::vector<double> scrape_ms;
    std::size_t bytes = 0;
    for (int i = 0; i < kRounds; ++i) {
      const Round without = runRound(argv[1], config, false, seconds);
      const Round with = runRound(argv[1], config, true, seconds);
      std::printf(
        "round %d: node CPU %5.2f %% of a core without metrics, %5.2f %% with a scrape a second\n",
        i + 1, without.cpu_share * 100, with.cpu_share * 100);
      std::fflush(stdout);
      off += without.cpu_share / kRounds;
      on += with.cpu_share / kRounds;
      scrape_ms.insert(scrape_ms.end(), with.scrape_ms.begin(), with.scrape_ms.end());
      bytes = with.bytes;
    }
    std::printf(
      "%zu streams: scrape (GET /metrics over HTTP, %zu bytes) p50 %.2f ms, p95 %.2f ms, max %.2f "
      "ms"
      " (goal < 20 ms); node CPU %.2f %% of a core without metrics, %.2f %% with one scrape a"
      " second: %+.2f points of a core, %+.1f %% of the node's own CPU (goal < 2 %%)\n",
      kStreams, bytes, percentile(scrape_ms, 0.5), percentile(scrape_ms, 0.95),
      percentile(scrape_ms, 1.0), off * 100, on * 100, (on - off) * 100,
      off > 0 ? (on - off) / off * 100 : 0.0);
  }
  rclcpp::shutdown();
  return 0;
}
