#pragma once

// The health of every registered stream at one moment, as plain values (no ROS include), for a
// host that exports it elsewhere (kelvaron_diag_node's Prometheus endpoint). The figures are
// those of the /diagnostics array built from the same pass.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvaron
{

// One registered stream.
struct StreamSnapshot
{
  std::string topic;  // as /diagnostics shows it (resolved against the host node)
  int level{3};       // 0 OK, 1 WARN, 2 ERROR, 3 STALE, as on /diagnostics
  int64_t frames_in_last_second{0};
  double normal_hz{0.0};
  double low_limit_hz{0.0};                      // normal_hz * low_ratio
  std::optional<int64_t> since_last_frame_ms{};  // none before the first frame
  std::optional<int64_t> header_age_ms{};        // none without a stamped frame
  int64_t frames_total{0};
  int64_t timeouts_total{0};
  int64_t low_rate_spells_total{0};
};

// The latest accepted report of one data-status kind.
struct DataStatusSnapshot
{
  std::string kind;  // "LOCALIZATION_LOST_STATUS"
  int32_t status{0};
};

struct HealthSnapshot
{
  std::vector<StreamSnapshot> streams;            // in topic order
  std::vector<DataStatusSnapshot> data_statuses;  // kinds reported at least once
};

}  // namespace kelvaron
