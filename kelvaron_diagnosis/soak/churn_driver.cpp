// soak_churn: runs kelvaron_diag_node for a long time against publishers that come and go.
//
// Writes a threshold file of N topics (/diagnostics on), starts the node with its output in
// node.log, and keeps each topic's publisher in a process of its own (kelvaron_soak_stream)
// that it interrupts and restarts on a seeded schedule: some topics return with the other
// message type, some go away for good, some appear only late. Meanwhile it samples the node's
// RSS and threads from /proc into node_usage.csv and reads /diagnostics: every stream that
// returns must read OK within the limit. At the end it audits the node's warnings. Prints
// "soak: " lines; exits 0 when every check passed.
//
// Usage: soak_churn --node PATH --stream PATH --workdir DIR [--duration S] [--seed N]
//                   [--topics N] [--sample-period S] [--warm-up S] [--limit-ms MS]
//                   [--tolerance FRACTION]
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fmt/format.h>
#include <diagnostic_msgs/msg/diagnostic_array.hpp>
#include <rclcpp/rclcpp.hpp>

#include "child_process.hpp"
#include "churn_plan.hpp"
#include "level_drift.hpp"
#include "proc_status.hpp"
#include "recovery_tracker.hpp"
#include "warning_audit.hpp"

namespace
{

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using kelvaron_soak::ChildProcess;
using kelvaron_soak::ChurnRole;

constexpr const char * kStatusPrefix = "diagnosis_Sensor_Proxy_node: ";
constexpr const char * kHz = "20";

struct Options
{
  std::string node;
  std::string stream;
  std::string workdir;
  double duration_s{300};
  uint32_t seed{1};
  int topics{50};
  double sample_period_s{5};
  double warm_up_s{-1};  // default: 180 s, or a third of a shorter run
  int limit_ms{3000};
  double tolerance{0.10};
};

bool parseOptions(int argc, char ** argv, Options & options)
{
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const std::string value = argv[i + 1];
    if (key == "--node") {
      options.node = value;
    } else if (key == "--stream") {
      options.stream = value;
    } else if (key == "--workdir") {
      options.workdir = value;
    } else if (key == "--duration") {
      options.duration_s = std::atof(value.c_str());
    } else if (key == "--seed") {
      options.seed = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    } else if (key == "--topics") {
      options.topics = std::atoi(value.c_str());
    } else if (key == "--sample-period") {
      options.sample_period_s = std::atof(value.c_str());
    } else if (key == "--warm-up") {
      options.warm_up_s = std::atof(value.c_str());
    } else if (key == "--limit-ms") {
      options.limit_ms = std::atoi(value.c_str());
    } else if (key == "--tolerance") {
      options.tolerance = std::atof(value.c_str());
    } else {
      std::cerr << "soak_churn: unknown option " << key << "\n";
      return false;
    }
  }
  if (options.warm_up_s < 0) {
    options.warm_up_s = std::min(180.0, options.duration_s / 3);
  }
  return !options.node.empty() && !options.stream.empty() && !options.workdir.empty() &&
         options.topics >= 10;
}

const char * typeName(bool stamped)
{
  return stamped ? "std_msgs/msg/Header" : "builtin_interfaces/msg/Time";
}

std::string thresholdFile(const std::vector<kelvaron_soak::ChurnTopic> & topics)
{
  // 20 Hz streams: three frames end a time-out and five in the last second a low rate, so a
  // stream that returns reads OK about a quarter of a second after its first frame.
  std::string text = "ros_diagnostics:\n  enabled: true\n  period_ms: 500\nsensors:\n";
  for (const auto & topic : topics) {
    text += fmt::format(
      "  {}:\n    normal_hz: {}\n    low_ratio: 0.25\n    cutoff_timeout_ms: 500\n"
      "    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 1000\n",
      topic.topic, kHz);
  }
  return text;
}

double secondsBetween(Clock::time_point from, Clock::time_point to)
{
  return std::chrono::duration<double>(to - from).count();
}

Clock::time_point after(Clock::time_point from, double seconds)
{
  return from + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// One topic's publisher over the run.
struct Publisher
{
  kelvaron_soak::ChurnTopic plan;
  std::unique_ptr<ChildProcess> child;
  bool up{false};
  bool gone{false};
  std::optional<bool> last_stamped;  // the type of the latest start
  Clock::time_point next;            // when it next starts (down) or is interrupted (up)
  Clock::time_point interrupted_at;
};

class Churn
{
public:
  Churn(const Options & options, kelvaron_soak::ChurnPlan & plan, Clock::time_point start)
  : options_(options)
  , plan_(plan)
  , start_(start)
  , tracker_(std::chrono::milliseconds(options.limit_ms))
  {
    for (const auto & topic : plan.topics()) {
      Publisher publisher;
      publisher.plan = topic;
      publisher.next = after(start, topic.first_up_s);
      publishers_.push_back(std::move(publisher));
    }
  }

  void onDiagnostics(const diagnostic_msgs::msg::DiagnosticArray & array)
  {
    const auto now = Clock::now();
    ++arrays_;
    for (const auto & status : array.status) {
      if (status.name.rfind(kStatusPrefix, 0) == 0) {
        // values[1] is frame_rate_hz, the frames of the last second.
        const std::string rate = status.values.size() > 1 ? status.values[1].value : "?";
        tracker_.level(
          status.name.substr(std::char_traits<char>::length(kStatusPrefix)),
          static_cast<uint8_t>(status.level), now, status.message + ", " + rate + " Hz");
      }
    }
  }

  void step(Clock::time_point now)
  {
    for (Publisher & publisher : publishers_) {
      readFirstMessages(publisher);
      if (publisher.gone) {
        reapQuietly(publisher);
      } else if (publisher.up) {
        if (now >= publisher.next || publisher.child->poll()) {
          interrupt(publisher, now);
        }
      } else if (reapQuietly(publisher) && now >= publisher.next) {
        start(publisher, now);
      }
    }
    tracker_.expire(now);
  }

  void stopAll()
  {
    for (Publisher & publisher : publishers_) {
      if (publisher.child) {
        publisher.child->signal(SIGINT);
      }
    }
    const auto until = Clock::now() + 10s;
    for (Publisher & publisher : publishers_) {
      while (publisher.child && !publisher.child->poll() && Clock::now() < until) {
        std::this_thread::sleep_for(20ms);
      }
      publisher.child.reset();
    }
  }

  const kelvaron_soak::RecoveryTracker & tracker() const { return tracker_; }
  const std::vector<kelvaron_soak::TypeChange> & typeChanges() const { return changes_; }
  const std::vector<Publisher> & publishers() const { return publishers_; }
  int starts() const { return starts_; }
  int crashes() const { return crashes_; }
  int killed() const { return killed_; }
  int arrays() const { return arrays_; }

private:
  void start(Publisher & publisher, Clock::time_point now)
  {
    if (
      publisher.plan.role == ChurnRole::kGoing &&
      secondsBetween(start_, now) >= publisher.plan.gone_at_s) {
      publisher.gone = true;
      return;
    }
    bool stamped = publisher.plan.stamped;
    if (publisher.last_stamped) {
      stamped = publisher.plan.role == ChurnRole::kTypeChanging ? !*publisher.last_stamped
                                                                : *publisher.last_stamped;
      if (stamped != *publisher.last_stamped) {
        changes_.push_back(
          {publisher.plan.topic, typeName(*publisher.last_stamped), typeName(stamped)});
      }
    }
    publisher.last_stamped = stamped;
    publisher.child = std::make_unique<ChildProcess>(std::vector<std::string>{
      options_.stream, publisher.plan.topic, stamped ? "stamped" : "plain", kHz});
    ++starts_;
    publisher.up = true;
    publisher.next = after(now, plan_.nextUpSeconds());
  }

  void interrupt(Publisher & publisher, Clock::time_point now)
  {
    if (publisher.child->poll()) {
      ++crashes_;  // ended before we asked
    }
    readFirstMessages(publisher);
    publisher.child->signal(SIGINT);
    publisher.interrupted_at = now;
    publisher.up = false;
    publisher.next = after(now, plan_.nextDownSeconds());
    tracker_.wentDown(publisher.plan.topic);
  }

  // Whether the previous publisher is gone (killed when it did not end within five seconds).
  bool reapQuietly(Publisher & publisher)
  {
    if (!publisher.child) {
      return true;
    }
    if (!publisher.child->poll()) {
      if (Clock::now() - publisher.interrupted_at < 5s) {
        return false;
      }
      publisher.child->signal(SIGKILL);
      ++killed_;
      while (!publisher.child->poll()) {
        std::this_thread::sleep_for(5ms);
      }
    }
    publisher.child.reset();
    return true;
  }

  void readFirstMessages(Publisher & publisher)
  {
    if (!publisher.child) {
      return;
    }
    for (const std::string & line : publisher.child->readLines()) {
      std::istringstream fields(line);
      std::string word;
      int64_t nanoseconds = 0;
      if (fields >> word >> nanoseconds && word == "first") {
        tracker_.returned(
          publisher.plan.topic, Clock::time_point(std::chrono::nanoseconds(nanoseconds)));
      }
    }
  }

  const Options & options_;
  kelvaron_soak::ChurnPlan & plan_;
  Clock::time_point start_;
  kelvaron_soak::RecoveryTracker tracker_;
  std::vector<Publisher> publishers_;
  std::vector<kelvaron_soak::TypeChange> changes_;
  int starts_{0};
  int crashes_{0};
  int killed_{0};
  int arrays_{0};
};

std::string readWholeFile(const std::string & path)
{
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void printDrift(const char * what, const kelvaron_soak::LevelDrift & drift, double warm_up_s)
{
  std::cout << fmt::format(
    "soak: {} start {:.0f}, after warm-up ({:.0f} s) {:.0f}, end {:.0f}; max drift {:+.1f} % at "
    "{:.0f} s\n",
    what, drift.start, warm_up_s, drift.warm, drift.end, drift.max_drift * 100,
    drift.max_drift_at_s);
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::cerr << "usage: soak_churn --node PATH --stream PATH --workdir DIR [--duration S] "
                 "[--seed N] [--topics N>=10] [--sample-period S] [--warm-up S] [--limit-ms MS] "
                 "[--tolerance FRACTION]\n";
    return 2;
  }
  kelvaron_soak::ChurnPlan plan(options.seed, options.topics, options.duration_s, {});
  const std::string config = options.workdir + "/thresholds.yaml";
  std::ofstream(config) << thresholdFile(plan.topics());
  const std::string node_log = options.workdir + "/node.log";
  const std::string usage_csv = options.workdir + "/node_usage.csv";

  rclcpp::init(0, nullptr);
  std::vector<std::string> failures;
  {
    auto driver = std::make_shared<rclcpp::Node>("soak_churn_driver");
    ChildProcess node({options.node, "--config", config}, node_log);
    if (!node.started()) {
      std::cerr << "soak_churn: could not start " << options.node << "\n";
      return 2;
    }
    std::unique_ptr<Churn> churn;
    bool node_answered = false;
    auto subscription = driver->create_subscription<diagnostic_msgs::msg::DiagnosticArray>(
      "/diagnostics", rclcpp::QoS(10), [&](const diagnostic_msgs::msg::DiagnosticArray & array) {
        node_answered = true;
        if (churn) {
          churn->onDiagnostics(array);
        }
      });
    rclcpp::executors::SingleThreadedExecutor executor;
    executor.add_node(driver);
    const auto waiting_until = Clock::now() + 60s;
    while (!node_answered && Clock::now() < waiting_until && !node.poll()) {
      executor.spin_once(50ms);
    }
    if (!node_answered) {
      std::cerr << "soak_churn: the node published no /diagnostics within 60 s (log " << node_log
                << ")\n";
      return 1;
    }

    const auto start = Clock::now();
    churn = std::make_unique<Churn>(options, plan, start);
    std::cout << fmt::format(
                   "soak: node pid {}, {} topics, seed {}, {:.0f} s, recovery limit {} ms",
                   node.pid(), options.topics, options.seed, options.duration_s, options.limit_ms)
              << std::endl;
    std::ofstream csv(usage_csv);
    csv << "seconds,rss_kib,threads,node_cpu_s,load_1min,rss_anon_kib,rss_file_kib\n";
    std::vector<kelvaron_soak::LevelSample> rss;
    std::vector<kelvaron_soak::LevelSample> threads;
    auto next_sample = start;
    const auto end = after(start, options.duration_s);
    while (Clock::now() < end) {
      const auto now = Clock::now();
      if (node.poll()) {
        failures.push_back(fmt::format("the node ended by itself (status {})", *node.poll()));
        break;
      }
      if (now >= next_sample) {
        const kelvaron_soak::ProcStatus usage = kelvaron_soak::readProcStatus(node.pid());
        const double at = secondsBetween(start, now);
        csv << fmt::format(
                 "{:.1f},{},{},{:.2f},{:.2f},{},{}\n", at, usage.rss_kib, usage.threads,
                 usage.cpu_seconds, kelvaron_soak::loadAverage(), usage.rss_anon_kib,
                 usage.rss_file_kib)
            << std::flush;
        rss.push_back({at, static_cast<double>(usage.rss_kib)});
        threads.push_back({at, static_cast<double>(usage.threads)});
        next_sample = after(next_sample, options.sample_period_s);
      }
      churn->step(now);
      executor.spin_once(10ms);
    }
    churn->stopAll();
    node.signal(SIGTERM);
    const auto stop_until = Clock::now() + 20s;
    while (!node.poll() && Clock::now() < stop_until) {
      executor.spin_once(20ms);
    }
    if (!node.poll()) {
      failures.push_back("the node did not end within 20 s of SIGTERM");
    } else if (*node.poll() != 0) {
      failures.push_back(fmt::format("the node exited with status {}", *node.poll()));
    }

    const auto & tracker = churn->tracker();
    const auto & changes = churn->typeChanges();
    int gone = 0;
    int late = 0;
    for (const Publisher & publisher : churn->publishers()) {
      late += publisher.plan.role == ChurnRole::kLate ? 1 : 0;
      if (publisher.gone) {
        ++gone;
        const auto level = tracker.latestLevel(publisher.plan.topic);
        if (!level || *level != 2) {
          failures.push_back(fmt::format(
            "{} went away for good but reads level {}", publisher.plan.topic,
            level ? std::to_string(*level) : "none"));
        }
      }
    }
    std::cout << fmt::format(
      "soak: publisher starts {} ({} restarts), type changes {}, gone for good {}, late {}, "
      "publishers that ended early {}, killed after 5 s {}\n",
      churn->starts(), churn->starts() - options.topics, changes.size(), gone, late,
      churn->crashes(), churn->killed());
    std::cout << fmt::format(
      "soak: /diagnostics arrays {}; returns {}, read OK {}, mean {:.0f} ms, worst {} ms ({}); "
      "misses {}, outages never read other than OK {}\n",
      churn->arrays(), tracker.returns(), tracker.recovered(), tracker.meanMs(),
      tracker.worst().count(), tracker.worstTopic(), tracker.misses(), tracker.unseenOutages());
    std::cout << fmt::format(
      "soak: first appearances {}, worst {} ms\n", tracker.firstAppearances(),
      tracker.worstFirst().count());
    {
      std::ofstream returns(options.workdir + "/returns.csv");
      returns << "seconds,topic,first,took_ms,last_level\n";
      for (const auto & record : tracker.history()) {
        returns << fmt::format(
          "{:.2f},{},{},{},{}\n", record.at_s, record.topic, record.first ? 1 : 0, record.took_ms,
          record.last_level);
      }
    }
    for (const std::string & problem : tracker.problems()) {
      std::cout << "soak:   " << problem << "\n";
    }
    if (tracker.misses() > 0 || tracker.unseenOutages() > 0) {
      failures.push_back(fmt::format(
        "{} returns not read OK within {} ms, {} outages unseen", tracker.misses(),
        options.limit_ms, tracker.unseenOutages()));
    }

    const double window = options.sample_period_s * 3;
    const auto rss_drift = kelvaron_soak::measureDrift(rss, options.warm_up_s, window);
    const auto thread_drift = kelvaron_soak::measureDrift(threads, options.warm_up_s, window);
    std::cout << "soak: usage samples " << rss.size() << " in " << usage_csv << "\n";
    printDrift("rss KiB", rss_drift, options.warm_up_s);
    printDrift("threads", thread_drift, options.warm_up_s);
    for (const auto & [what, drift] :
         {std::pair{"rss", rss_drift}, std::pair{"threads", thread_drift}}) {
      if (!drift.judged) {
        failures.push_back(fmt::format("{}: too few samples after warm-up", what));
      } else if (std::abs(drift.max_drift) > options.tolerance) {
        failures.push_back(fmt::format(
          "{} drifted {:+.1f} % (tolerance {:.0f} %)", what, drift.max_drift * 100,
          options.tolerance * 100));
      }
    }

    const auto audit = kelvaron_soak::auditWarnings(readWholeFile(node_log), changes);
    std::cout << fmt::format(
      "soak: node warnings {}, tied to a cause {}, without one {}\n", audit.warnings, audit.tied,
      audit.warnings - audit.tied);
    for (const std::string & line : audit.failures) {
      std::cout << "soak:   " << line << "\n";
    }
    if (!audit.failures.empty()) {
      failures.push_back("warnings without a cause (above)");
    }
    executor.remove_node(driver);
  }
  rclcpp::shutdown();

  if (failures.empty()) {
    std::cout << "soak: PASSED" << std::endl;
    return 0;
  }
  for (const std::string & failure : failures) {
    std::cout << "soak: FAILED: " << failure << "\n";
  }
  std::cout << std::flush;
  return 1;
}
