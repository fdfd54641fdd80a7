#pragma once

#include <cstdint>
#include <functional>

#include "sensor_diagnosis/wall_clock.hpp"

namespace kelvaron
{

// What the object takes from its surroundings. Every field defaults to the real behaviour; only
// the library's own tests (and benchmarks) replace them, through their access struct, which
// says under which lock each may change while the object runs.
struct Dependencies
{
  // Wall-clock milliseconds since the Unix epoch; empty: the system clock. Read with
  // data_mutex_ held.
  std::function<int64_t()> wall_clock_ms;
  // Runs just before each health-check publication, with data_mutex_ held; throwing stands for
  // a failing middleware.
  std::function<void()> publish_fault;
  // Runs on the watcher thread before each of its reloads; throwing stands for a reload that
  // fails with an exception. Copied under config_watcher_mutex_.
  std::function<void()> before_watcher_reload;
  // Runs before each of the object's threads is created; throwing stands for a system that
  // refuses the thread.
  std::function<void()> before_thread_start;
  // Runs during every load, after the file's time is taken and before the file is read, with
  // config_load_mutex_ held.
  std::function<void()> before_config_read;

  int64_t nowMs() const { return wall_clock_ms ? wall_clock_ms() : wallClockNowMs(); }
};

}  // namespace kelvaron
