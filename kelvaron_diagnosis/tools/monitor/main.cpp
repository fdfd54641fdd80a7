// kelvaron_diag_monitor: a live terminal view of the diagnostic event topics.
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <brimtale_protocol/msg/diagnostic_event.hpp>
#include <diagnostic_msgs/msg/diagnostic_array.hpp>
#include <kelvaron_diagnosis/event_catalog.hpp>
#include <rclcpp/rclcpp.hpp>

#include "event_table.hpp"
#include "render.hpp"

namespace
{

constexpr const char * kUsage =
  "Usage: kelvaron_diag_monitor [--once] [--json] [--duration SECONDS] [--interval SECONDS]\n"
  "\n"
  "Shows the events published on sensor_proxy_diag_topic, chassis_pnc_diag_topic and\n"
  "chassis_loc_diag_topic: one row per topic, event id and header frame, with the latest\n"
  "status (any non-zero status is ABNORMAL), its text, the age of the last event and the\n"
  "counts of all and of abnormal events. When the library publishes /diagnostics, the streams\n"
  "come first, one row per topic with its level, measured rate, low limit and the age of its\n"
  "last frame, and the event rows keep the data-status kinds.\n"
  "\n"
  "  --once              collect for --duration seconds (default 3), print one snapshot, exit\n"
  "  --json              print snapshots as JSON objects, one per line\n"
  "  --duration SECONDS  stop after this long (default: run until Ctrl-C)\n"
  "  --interval SECONDS  time between snapshots (default 1)\n"
  "  --help              this text\n"
  "\n"
  "On a terminal the view redraws in place; otherwise snapshots are printed one after another.\n";

struct Options
{
  bool once{false};
  bool json{false};
  double duration_s{-1.0};
  double interval_s{1.0};
};

bool parseSeconds(const char * text, double & seconds)
{
  char * end = nullptr;
  seconds = std::strtod(text, &end);
  return end != text && *end == '\0' && seconds >= 0.0;
}

// Returns false (after printing why) when the arguments are not usable.
bool parseOptions(int argc, char ** argv, Options & options, int & exit_code)
{
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      exit_code = 0;
      return false;
    } else if (arg == "--once") {
      options.once = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if ((arg == "--duration" || arg == "--interval") && i + 1 < argc) {
      double seconds = 0.0;
      if (!parseSeconds(argv[++i], seconds)) {
        std::cerr << "kelvaron_diag_monitor: " << arg << " needs a number of seconds, got '"
                  << argv[i] << "'\n";
        exit_code = 2;
        return false;
      }
      (arg == "--duration" ? options.duration_s : options.interval_s) = seconds;
    } else {
      std::cerr << "kelvaron_diag_monitor: unknown argument '" << arg << "'\n\n" << kUsage;
      exit_code = 2;
      return false;
    }
  }
  if (options.once && options.duration_s < 0.0) {
    options.duration_s = 3.0;
  }
  if (options.interval_s < 0.05) {
    options.interval_s = 0.05;
  }
  return true;
}

kelvaron::monitor::TextLayout terminalLayout(bool on_terminal)
{
  kelvaron::monitor::TextLayout layout;
  winsize size{};
  if (on_terminal && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    layout.width = size.ws_col;
    layout.height = size.ws_row;
  }
  layout.colour = on_terminal;
  return layout;
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  int exit_code = 0;
  if (!parseOptions(argc, argv, options, exit_code)) {
    return exit_code;
  }

  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("kelvaron_diag_monitor");
  rclcpp::executors::SingleThreadedExecutor executor;
  std::mutex table_mutex;
  kelvaron::monitor::EventTable table;
  kelvaron::monitor::StreamRows streams;
  std::vector<std::shared_ptr<rclcpp::Subscription<brimtale_protocol::msg::DiagnosticEvent>>> subs;
  for (const kelvaron::ChannelInfo & channel : kelvaron::kChannels) {
    const std::string name(channel.topic);
    subs.push_back(node->create_subscription<brimtale_protocol::msg::DiagnosticEvent>(
      name, rclcpp::QoS(100), [&, name](const brimtale_protocol::msg::DiagnosticEvent & event) {
        std::lock_guard<std::mutex> lock(table_mutex);
        table.add(
          name, event.event_id, event.event_status, event.event_msg, event.header.frame_id,
          std::chrono::steady_clock::now());
      }));
  }

  // The library's optional /diagnostics output names every stream by its topic.
  auto diagnostics = node->create_subscription<diagnostic_msgs::msg::DiagnosticArray>(
    "/diagnostics", rclcpp::QoS(10), [&](const diagnostic_msgs::msg::DiagnosticArray & array) {
      std::lock_guard<std::mutex> lock(table_mutex);
      streams.update(array, std::chrono::steady_clock::now());
    });

  executor.add_node(node);
  const bool on_terminal = isatty(STDOUT_FILENO) != 0 && !options.json;
  const auto started = std::chrono::steady_clock::now();
  const auto interval = std::chrono::duration<double>(options.interval_s);
  auto next_draw = started + std::chrono::duration_cast<std::chrono::nanoseconds>(interval);
  const auto render = [&] {
    std::lock_guard<std::mutex> lock(table_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (options.json) {
      return kelvaron::monitor::renderJson(table.rows(), now, streams.rows(now));
    }
    return kelvaron::monitor::renderText(
      table.rows(), now, terminalLayout(on_terminal), streams.rows(now));
  };

  while (rclcpp::ok()) {
    // Drain everything that arrived: bursts of a whole health pass must not overflow the reader.
    executor.spin_all(std::chrono::milliseconds(20));
    const auto now = std::chrono::steady_clock::now();
    const bool finished = options.duration_s >= 0.0 &&
                          now - started >= std::chrono::duration<double>(options.duration_s);
    if (finished) {
      break;
    }
    if (!options.once && now >= next_draw) {
      // "\033[H\033[2J": home and clear, so the view redraws in place on a terminal.
      std::cout << (on_terminal ? "\033[H\033[2J" : "") << render()
                << (on_terminal || options.json ? "" : "\n") << std::flush;
      next_draw = now + std::chrono::duration_cast<std::chrono::nanoseconds>(interval);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::cout << render() << std::flush;
  subs.clear();
  diagnostics.reset();
  node.reset();
  rclcpp::shutdown();
  return 0;
}
