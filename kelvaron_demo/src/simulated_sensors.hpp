#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>

// A sensor stream of the demo: frames at `rate_hz`, silent during [silent_from, silent_until).
struct SimulatedStream
{
  std::string topic;
  std::string frame_id;
  double rate_hz;
  std::chrono::milliseconds silent_from{0};
  std::chrono::milliseconds silent_until{0};
  std::chrono::steady_clock::time_point next_frame{};
};

// Normal rates of the default threshold file's sensors, read from the installed file.
double normalRateOf(const std::string & thresholds_file, const std::string & topic);

// Sends every frame that is due at `elapsed`, through `report`, and returns when the next one is.
template <typename Report>
std::chrono::steady_clock::time_point reportDueFrames(
  std::vector<SimulatedStream> & streams, std::chrono::steady_clock::time_point now,
  std::chrono::milliseconds elapsed, Report report)
{
  auto next = now + std::chrono::milliseconds(100);
  for (SimulatedStream & stream : streams) {
    if (stream.next_frame <= now) {
      const bool silent = elapsed >= stream.silent_from && elapsed < stream.silent_until;
      if (!silent) {
        report(stream);
      }
      stream.next_frame += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(1.0 / stream.rate_hz));
      if (stream.next_frame < now) {
        stream.next_frame = now;  // never try to catch up a backlog
      }
    }
    next = std::min(next, stream.next_frame);
  }
  return next;
}

// Runs the streams for `duration_s` seconds (or until ROS 2 shuts down): every frame goes to
// `report`, and `each_round` sees the time elapsed after each round of due frames.
template <typename Report, typename EachRound>
void runStreams(
  std::vector<SimulatedStream> & streams, double duration_s, Report report, EachRound each_round)
{
  const auto started = std::chrono::steady_clock::now();
  for (SimulatedStream & stream : streams) {
    stream.next_frame = started;
  }
  while (rclcpp::ok()) {
    const auto now = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - started);
    if (elapsed >= std::chrono::duration<double>(duration_s)) {
      return;
    }
    const auto next = reportDueFrames(streams, now, elapsed, report);
    each_round(elapsed);
    std::this_thread::sleep_until(next);
  }
}
