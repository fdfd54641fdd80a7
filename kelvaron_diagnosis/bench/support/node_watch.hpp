#pragma once

// What the benchmarks that run kelvaron_diag_node give it and read back from it. Header-only:
// the large-graph bench links the node's own pieces instead of the benchmark support library.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <diagnostic_msgs/msg/diagnostic_array.hpp>

namespace kelvaron_bench
{

// Writes a threshold file watching `topics`, each expected at `normal_hz` (low below half of
// it, 500 ms cut-off, 3 frames to recover), with /diagnostics once a second; `without_header`
// adds `header: false` to each. Returns `path`.
inline std::string writeNodeThresholdFile(
  const std::string & path, const std::vector<std::string> & topics, double normal_hz,
  bool without_header = false)
{
  std::ofstream out(path);
  out << "sensors:\n";
  for (const std::string & topic : topics) {
    out << "  " << topic << ":\n    normal_hz: " << normal_hz
        << "\n    low_ratio: 0.5\n    cutoff_timeout_ms: 500\n"
           "    cutoff_recovery_threshold: 3\n    abnormal_duration_ms: 1000\n";
    if (without_header) {
      out << "    header: false\n";
    }
  }
  out << "ros_diagnostics:\n  enabled: true\n  period_ms: 1000\n";
  return path;
}

// Frames the node has counted over all its streams: the sum of the array's frames_total.
inline int64_t framesTotal(const diagnostic_msgs::msg::DiagnosticArray & array)
{
  int64_t frames = 0;
  for (const auto & status : array.status) {
    for (const auto & value : status.values) {
      if (value.key == "frames_total") {
        frames += std::atoll(value.value.c_str());
      }
    }
  }
  return frames;
}

}  // namespace kelvaron_bench
