// kelvaron_diag_node as a Prometheus target: a scrape of GET /metrics against the /diagnostics
// array of the same pass, Prometheus's own format check, a reload, a taken port, the default.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/background_process.hpp"
#include "support/diagnostics_listener.hpp"
#include "support/loopback_http.hpp"
#include "support/temp_dir.hpp"
#include "tools/run_command.hpp"

namespace
{

using diagnostic_msgs::msg::DiagnosticArray;
using diagnostic_msgs::msg::DiagnosticStatus;
using namespace std::chrono_literals;

const std::string kNode = KELVARON_DIAG_NODE;
const std::string kPublisher = KELVARON_STREAM_PUBLISHER;
const std::string kPromtool = "/usr/bin/promtool";

// Ports the process listens on over TCP: its socket descriptors matched with the kernel's
// table of listening sockets in its network namespace.
std::set<int> listeningTcpPorts(pid_t pid)
{
  const std::string proc = "/proc/" + std::to_string(pid);
  std::set<std::string> inodes;
  for (const auto & entry : std::filesystem::directory_iterator(proc + "/fd")) {
    std::error_code ignored;
    const std::string target = std::filesystem::read_symlink(entry.path(), ignored).string();
    if (target.rfind("socket:[", 0) == 0) {
      inodes.insert(target.substr(8, target.size() - 9));
    }
  }
  std::set<int> ports;
  for (const char * table : {"/net/tcp", "/net/tcp6"}) {
    std::ifstream file(proc + table);
    std::string line;
    std::getline(file, line);  // column names
    while (std::getline(file, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
        timeout >> inode;
      constexpr const char * kListen = "0A";
      if (state == kListen && inodes.count(inode) > 0) {
        ports.insert(std::stoi(local.substr(local.rfind(':') + 1), nullptr, 16));
      }
    }
  }
  return ports;
}

std::string thresholds(const std::vector<std::string> & topics)
{
  std::string text = "ros_diagnostics:\n  enabled: true\n  period_ms: 100\nsensors:\n";
  for (const std::string & topic : topics) {
    text += "  " + topic +
            ":\n    normal_hz: 20\n    low_ratio: 0.6\n    cutoff_timeout_ms: 500\n"
            "    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 1000\n";
  }
  return text;
}

#if KELVARON_NODE_HAS_METRICS

// Samples of a scrape by series ("name{labels}") and the lines that declare types.
struct Scrape
{
  std::string text;
  std::map<std::string, double> samples;

  std::optional<double> value(const std::string & name, const std::string & topic) const
  {
    const auto found = samples.find(name + "{topic=\"" + topic + "\"}");
    return found == samples.end() ? std::nullopt : std::optional<double>(found->second);
  }
};

Scrape parseScrape(std::string text)
{
  Scrape scrape;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    const std::size_t space = line.rfind(' ');
    scrape.samples[line.substr(0, space)] = std::atof(line.c_str() + space + 1);
  }
  scrape.text = std::move(text);
  return scrape;
}

std::optional<Scrape> scrapeMetrics(int port)
{
  const std::optional<std::string> body = httpGet(port, "/metrics");
  return body ? std::optional<Scrape>(parseScrape(*body)) : std::nullopt;
}

std::string valueOf(const DiagnosticStatus & status, const std::string & key)
{
  for (const auto & entry : status.values) {
    if (entry.key == key) {
      return entry.value;
    }
  }
  return {};
}

// Why the scrape disagrees with `status`, or nothing when every metric of its stream reads what
// the status says.
std::optional<std::string> mismatch(const Scrape & scrape, const DiagnosticStatus & status)
{
  const std::string topic = valueOf(status, "topic");
  const auto expect = [&](const char * name, std::optional<double> wanted) -> bool {
    const std::optional<double> got = scrape.value(name, topic);
    if (!wanted) {
      return !got;
    }
    return got && std::abs(*got - *wanted) < 0.0015;
  };
  const auto number = [&](const char * key) -> std::optional<double> {
    const std::string text = valueOf(status, key);
    return text.empty() ? std::nullopt : std::optional<double>(std::atof(text.c_str()));
  };
  const auto seconds = [&](const char * key) -> std::optional<double> {
    const std::optional<double> ms = number(key);
    return ms ? std::optional<double>(*ms / 1000.0) : std::nullopt;
  };
  const std::vector<std::pair<const char *, std::optional<double>>> checks{
    {"kelvaron_stream_level", static_cast<double>(status.level)},
    {"kelvaron_stream_frame_rate_hertz", number("frame_rate_hz")},
    {"kelvaron_stream_expected_frame_rate_hertz", number("normal_hz")},
    {"kelvaron_stream_low_limit_hertz", number("low_limit_hz")},
    {"kelvaron_stream_last_frame_age_seconds", seconds("since_last_frame_ms")},
    {"kelvaron_stream_header_age_seconds", seconds("header_age_ms")},
    {"kelvaron_stream_frames_total", number("frames_total")},
    {"kelvaron_stream_timeouts_total", number("timeouts_total")},
    {"kelvaron_stream_low_rate_spells_total", number("low_rate_spells_total")},
  };
  for (const auto & [name, wanted] : checks) {
    if (!expect(name, wanted)) {
      return topic + ": " + name;
    }
  }
  return std::nullopt;
}

// The array among `arrays` that the scrape reads exactly (the same pass), if any.
bool scrapeMatchesAnArray(
  const Scrape & scrape, const std::vector<DiagnosticArray> & arrays, std::string & why)
{
  for (const DiagnosticArray & array : arrays) {
    bool all = true;
    for (const DiagnosticStatus & status : array.status) {
      if (const std::optional<std::string> differs = mismatch(scrape, status)) {
        why = *differs;
        all = false;
        break;
      }
    }
    if (all && !array.status.empty()) {
      return true;
    }
  }
  return false;
}

bool promtoolInstalled()
{
  struct stat info = {};
  return ::stat(kPromtool.c_str(), &info) == 0;
}

TEST(DiagNodeMetrics, AScrapeReadsWhatDiagnosticsSaysAndFollowsTheFile)
{
  TempDir dir;
  // Healthy with a header, healthy without one, low (5 of 20 Hz), never published.
  const std::vector<std::string> topics{"/scan_01", "/imu/data", "/camera_01", "/scan_02"};
  const std::string file = dir.write("metrics.yaml", thresholds(topics));
  BackgroundProcess publishers(
    {kPublisher, "/scan_01:stamped:20:front_laser",
     "/imu/data:plain:20:", "/camera_01:stamped:5:camera"});
  ASSERT_TRUE(publishers.started());
  const int port = freePort();
  ASSERT_GT(port, 0);
  BackgroundProcess node(
    {kNode, "--ros-args", "-p", "config_file:=" + file, "-p",
     "metrics_port:=" + std::to_string(port)},
    true);
  ASSERT_TRUE(node.started());

  std::vector<Scrape> scrapes;
  // Until every published stream has been judged and the camera reads low.
  const auto until = std::chrono::steady_clock::now() + 30s;
  while (std::chrono::steady_clock::now() < until) {
    if (std::optional<Scrape> scrape = scrapeMetrics(port)) {
      scrapes.push_back(*scrape);
      if (
        scrape->value("kelvaron_stream_level", "/scan_01") == 0.0 &&
        scrape->value("kelvaron_stream_level", "/imu/data") == 0.0 &&
        scrape->value("kelvaron_stream_level", "/camera_01") == 1.0) {
        break;
      }
    }
    std::this_thread::sleep_for(200ms);
  }
  ASSERT_FALSE(scrapes.empty()) << "no answer on 127.0.0.1:" << port;
  const Scrape & up = scrapes.back();
  ASSERT_EQ(up.value("kelvaron_stream_level", "/camera_01"), 1.0) << up.text;
  EXPECT_EQ(listeningTcpPorts(node.pid()), std::set<int>{port});

  // Types, the build and values the snapshot lacks.
  EXPECT_NE(up.text.find("# TYPE kelvaron_stream_frames_total counter"), std::string::npos);
  EXPECT_NE(up.text.find("# TYPE kelvaron_stream_timeouts_total counter"), std::string::npos);
  EXPECT_NE(up.text.find("# TYPE kelvaron_stream_level gauge"), std::string::npos);
  EXPECT_EQ(up.samples.count("kelvaron_build_info{version=\"0.1.0\"}"), 1U) << up.text;
  EXPECT_EQ(up.value("kelvaron_stream_level", "/scan_02"), 3.0);
  EXPECT_FALSE(up.value("kelvaron_stream_last_frame_age_seconds", "/scan_02"));
  EXPECT_FALSE(up.value("kelvaron_stream_header_age_seconds", "/imu/data"));
  EXPECT_TRUE(up.value("kelvaron_stream_header_age_seconds", "/scan_01"));
  EXPECT_GT(up.value("kelvaron_stream_low_rate_spells_total", "/camera_01").value_or(0), 0.0);

  if (promtoolInstalled()) {
    const std::string scraped = dir.write("scrape.txt", up.text);
    const CommandResult check = runCommand(kPromtool + " check metrics < " + scraped + " 2>&1");
    EXPECT_EQ(check.exit_code, 0) << check.output;
  } else {
    std::cout << "promtool not installed: the format check is skipped\n";
  }

  // Each stream of some array published around a scrape reads exactly as the scrape does.
  DiagnosticsListener listener;
  bool matched = false;
  std::string why;
  for (int attempt = 0; attempt < 10 && !matched; ++attempt) {
    std::vector<DiagnosticArray> arrays = listener.drain(300ms);
    const std::optional<Scrape> scrape = scrapeMetrics(port);
    ASSERT_TRUE(scrape);
    scrapes.push_back(*scrape);
    for (DiagnosticArray & array : listener.drain(500ms)) {
      arrays.push_back(std::move(array));
    }
    matched = scrapeMatchesAnArray(*scrape, arrays, why);
  }
  EXPECT_TRUE(matched) << "no /diagnostics array of the scraped moment; last difference: " << why;

  // Dropped from the file: gone from the next scrapes; the others keep counting.
  dir.write("metrics.yaml", thresholds({"/scan_01", "/imu/data", "/camera_01"}));
  bool gone = false;
  const auto reload_until = std::chrono::steady_clock::now() + 15s;
  while (!gone && std::chrono::steady_clock::now() < reload_until) {
    std::this_thread::sleep_for(300ms);
    if (std::optional<Scrape> scrape = scrapeMetrics(port)) {
      scrapes.push_back(*scrape);
      gone = !scrape->value("kelvaron_stream_level", "/scan_02");
    }
  }
  EXPECT_TRUE(gone) << "/scan_02 still scraped after it left the file";
  for (const std::string topic : {"/scan_01", "/imu/data", "/camera_01"}) {
    std::optional<double> previous;
    for (const Scrape & scrape : scrapes) {
      const std::optional<double> frames = scrape.value("kelvaron_stream_frames_total", topic);
      // A scrape answered before the node's first pass has no streams yet (seen under
      // AddressSanitizer); once a stream is there it must stay, and its counter never falls.
      if (!previous && !frames) {
        continue;
      }
      ASSERT_TRUE(frames) << topic << ": gone from a scrape while it stayed in the file";
      EXPECT_GE(*frames, previous.value_or(0)) << topic << ": a counter went backwards";
      previous = frames;
    }
  }

  EXPECT_EQ(node.stop(SIGTERM), 0);
  EXPECT_EQ(publishers.stop(SIGINT), 0);
}

TEST(DiagNodeMetrics, APortThatIsTakenEndsTheNodeWithOneLine)
{
  TempDir dir;
  const std::string file = dir.write("ok.yaml", thresholds({"/scan_01"}));
  const Socket taken;
  const int port = bindAnyPort(taken);
  ASSERT_GT(port, 0);
  ASSERT_EQ(::listen(taken.fd(), 1), 0);
  const std::string where = "127.0.0.1:" + std::to_string(port);
  const CommandResult result = runCommand(
    kNode + " --config " + file + " --ros-args -p metrics_port:=" + std::to_string(port) + " 2>&1");
  EXPECT_EQ(result.exit_code, 2) << result.output;
  const std::size_t ours = result.output.find("kelvaron_diag_node: ");
  ASSERT_NE(ours, std::string::npos) << result.output;
  const std::string line = result.output.substr(ours, result.output.find('\n', ours) - ours);
  EXPECT_NE(line.find(where), std::string::npos) << line;
  EXPECT_NE(line.find("in use"), std::string::npos) << line;
  EXPECT_EQ(result.output.find("kelvaron_diag_node: ", ours + 1), std::string::npos)
    << "one line\n"
    << result.output;
  EXPECT_EQ(result.output.find("Timer thread started"), std::string::npos) << "nothing started";
}

#else

TEST(DiagNodeMetrics, ANodeWithoutMetricsSupportRefusesAPort)
{
  TempDir dir;
  const std::string file = dir.write("ok.yaml", thresholds({"/scan_01"}));
  const CommandResult result =
    runCommand(kNode + " --config " + file + " --ros-args -p metrics_port:=9100 2>&1");
  EXPECT_EQ(result.exit_code, 2) << result.output;
  EXPECT_NE(result.output.find("built without metrics support"), std::string::npos)
    << result.output;
}

#endif

TEST(DiagNodeMetrics, BadMetricsParametersEndWithStatusTwo)
{
  TempDir dir;
  const std::string file = dir.write("ok.yaml", thresholds({"/scan_01"}));
  for (const std::string bad :
       {"metrics_port:=many", "metrics_port:=70000", "metrics_address:=5"}) {
    const CommandResult result =
      runCommand(kNode + " --config " + file + " --ros-args -p " + bad + " 2>&1");
    EXPECT_EQ(result.exit_code, 2) << bad << "\n" << result.output;
    const std::size_t ours = result.output.find("kelvaron_diag_node: ");
    ASSERT_NE(ours, std::string::npos) << bad << "\n" << result.output;
    EXPECT_NE(result.output.find(bad.substr(0, bad.find(':')), ours), std::string::npos)
      << result.output;
  }
}

TEST(DiagNodeMetrics, ByDefaultTheNodeListensOnNoTcpPort)
{
  TempDir dir;
  const std::string file = dir.write("ok.yaml", thresholds({"/scan_01"}));
  BackgroundProcess node({kNode, "--ros-args", "-p", "config_file:=" + file}, true);
  ASSERT_TRUE(node.started());
  // Once /diagnostics arrives, the node has started everything it starts.
  DiagnosticsListener listener;
  ASSERT_TRUE(listener.next());
  EXPECT_TRUE(listeningTcpPorts(node.pid()).empty());
  EXPECT_EQ(node.stop(SIGTERM), 0);
}

}  // namespace
