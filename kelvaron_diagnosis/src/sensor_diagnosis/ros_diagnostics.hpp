#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <diagnostic_msgs/msg/diagnostic_array.hpp>
#include <rclcpp/rclcpp.hpp>

#include "kelvaron_diagnosis/event_catalog.hpp"
#include "sensor_diagnosis/diagnostic_status_builder.hpp"
#include "sensor_diagnosis/health_snapshots.hpp"
#include "sensor_diagnosis/ros_diagnostics_settings.hpp"

namespace kelvaron
{

// The topic and depth that ROS 2's diagnostic tools expect: keep last 1, reliable, volatile.
inline constexpr const char * kDiagnosticsTopic = "/diagnostics";
inline constexpr std::size_t kDiagnosticsDepth = 1;

// State of the optional /diagnostics output and of the health snapshots. Guarded by the owner's data_mutex_, except the
// members marked as the timer thread's own.
struct RosDiagnostics
{
  using Publisher = rclcpp::Publisher<diagnostic_msgs::msg::DiagnosticArray>;

  // The latest accepted report of one data-status kind.
  struct DataStatusSeen
  {
    bool seen{false};
    int32_t status{0};
    std::optional<int64_t> accepted_ms{};  // none when accepted before simulated time began
  };

  RosDiagnosticsSettings settings{};
  int64_t passes_since_publication{0};
  std::shared_ptr<Publisher> publisher{};
  std::array<DataStatusSeen, kDataStatusKinds.size()> data_statuses{};

  // Topics as the host node resolves them, by their name in the file; filled on first use.
  std::unordered_map<std::string, std::string> shown_names{};

  // The name /diagnostics shows for `topic`: resolved by `resolve` when given, else as written.
  const std::string & shownName(
    const std::string & topic, const std::function<std::string(const std::string &)> & resolve);
  // Empties the names when more are kept than topics are registered.
  void forgetUnregisteredNames(std::size_t registered_count);

  // The timer thread's own: whether publishing fails, and the snapshot and the outgoing array,
  // refilled in place for every publication so that their strings keep their capacity.
  bool publish_failing{false};
  std::vector<StreamFigures> streams{};
  diagnostic_msgs::msg::DiagnosticArray array{};

  // The same figures for hosts that asked for snapshots; has a lock of its own.
  HealthSnapshots snapshots{};
};

// Whole timer passes per publication: the period rounded up to whole timer periods.
int64_t passesPerPublication(int64_t period_ms, int64_t timer_period_ms);

}  // namespace kelvaron
