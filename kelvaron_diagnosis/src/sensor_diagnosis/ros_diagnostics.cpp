#include "sensor_diagnosis/ros_diagnostics.hpp"

#include <algorithm>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/dependencies.hpp"
#include "sensor_diagnosis/diagnostic_status_builder.hpp"
#include "sensor_diagnosis/health_snapshots.hpp"

namespace kelvaron
{

const std::string & RosDiagnostics::shownName(
  const std::string & topic, const std::function<std::string(const std::string &)> & resolve)
{
  if (!resolve) {
    return topic;
  }
  auto found = shown_names.find(topic);
  if (found == shown_names.end()) {
    found = shown_names.emplace(topic, resolve(topic)).first;
  }
  return found->second;
}

void RosDiagnostics::forgetUnregisteredNames(std::size_t registered_count)
{
  // Names of topics dropped from the file would otherwise pile up over weeks of edits.
  if (shown_names.size() > registered_count) {
    shown_names.clear();
  }
}

int64_t passesPerPublication(int64_t period_ms, int64_t timer_period_ms)
{
  return std::max<int64_t>(1, (period_ms + timer_period_ms - 1) / timer_period_ms);
}

}  // namespace kelvaron

void Diagnosis::applyRosDiagnostics(const YAML::Node & block)
{
  const kelvaron::RosDiagnosticsSettings settings = kelvaron::readRosDiagnostics(block);
  std::lock_guard<std::mutex> lock(data_mutex_);
  ros_diagnostics_->settings = settings;
  ros_diagnostics_->passes_since_publication = 0;
}

std::shared_ptr<const kelvaron::HealthSnapshot> Diagnosis::healthSnapshot()
{
  return ros_diagnostics_->snapshots.latest();
}

void Diagnosis::publishRosDiagnostics()
{
  using Publisher = kelvaron::RosDiagnostics::Publisher;
  kelvaron::RosDiagnostics & output = *ros_diagnostics_;

  // Switched off: the publisher goes, outside the lock, so nothing is left on the wire.
  std::shared_ptr<Publisher> released;
  std::shared_ptr<rclcpp::Node> node_needing_publisher;
  {
    std::lock_guard<std::mutex> lock(data_mutex_);
    if (!output.settings.enabled) {
      released = std::move(output.publisher);
      output.passes_since_publication = 0;
    } else if (!output.publisher) {
      node_needing_publisher = sensor_proxy_node_;
    }
  }
  released.reset();

  try {
    if (node_needing_publisher) {
      auto publisher =
        node_needing_publisher->create_publisher<diagnostic_msgs::msg::DiagnosticArray>(
          kelvaron::kDiagnosticsTopic, rclcpp::QoS(kelvaron::kDiagnosticsDepth));
      std::lock_guard<std::mutex> lock(data_mutex_);
      if (output.settings.enabled && !output.publisher) {
        output.publisher = std::move(publisher);
      }
    }

    // The array (when due) and the snapshot (when a host asked for them) come from the same
    // figures, copied once under the lock.
    const bool snapshot_wanted = output.snapshots.wanted();
    std::vector<kelvaron::StreamFigures> & streams = output.streams;
    std::vector<kelvaron::DataStatusFigures> data_statuses;
    std::shared_ptr<Publisher> publisher;
    std::optional<int64_t> now_ms;
    {
      std::lock_guard<std::mutex> lock(data_mutex_);
      if (output.settings.enabled && output.publisher) {
        if (
          ++output.passes_since_publication >=
          kelvaron::passesPerPublication(output.settings.period_ms, timer_period_ms_)) {
          output.passes_since_publication = 0;
          publisher = output.publisher;
        }
      }
      if (!publisher && !snapshot_wanted) {
        return;
      }
      now_ms = dependencies_->nowMs();
      const int64_t figures_ms = now_ms.value_or(0);
      output.forgetUnregisteredNames(sensor_thresholds_.size());
      streams.resize(sensor_thresholds_.size());
      std::size_t index = 0;
      for (const auto & [topic, threshold] : sensor_thresholds_) {
        kelvaron::StreamFigures & figures = streams[index++];
        kelvaron::fillStreamFigures(topic, sensor_states_[topic], threshold, figures_ms, figures);
        figures.topic.assign(output.shownName(topic, dependencies_->resolve_topic));
        if (!now_ms) {
          figures.markWaitingForClock();
        }
      }
      for (std::size_t kind = 0; kind < output.data_statuses.size(); ++kind) {
        const auto & seen = output.data_statuses[kind];
        if (seen.seen) {
          data_statuses.push_back(
            {kind, seen.status,
             now_ms && seen.accepted_ms ? std::optional<int64_t>(*now_ms - *seen.accepted_ms)
                                        : std::nullopt});
        }
      }
    }

    std::sort(streams.begin(), streams.end(), [](const auto & a, const auto & b) {
      return a.topic < b.topic;
    });
    if (snapshot_wanted) {
      output.snapshots.update(streams, data_statuses);
    }
    if (!publisher) {
      return;
    }
    diagnostic_msgs::msg::DiagnosticArray & array = output.array;
    // Stamped on the pass's time base: zero while simulated time has not started, as ROS 2's
    // own diagnostic tools stamp theirs.
    const int64_t stamp_ms = now_ms.value_or(0);
    array.header.stamp.sec = static_cast<int32_t>(stamp_ms / 1000);
    array.header.stamp.nanosec = static_cast<uint32_t>((stamp_ms % 1000) * 1000000);
    array.status.resize(streams.size() + data_statuses.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
      kelvaron::fillStreamStatus(streams[i], array.status[i]);
    }
    for (std::size_t i = 0; i < data_statuses.size(); ++i) {
      const auto & seen = data_statuses[i];
      array.status[streams.size() + i] = kelvaron::dataStatusStatus(
        kelvaron::kDataStatusKinds[seen.kind], seen.status, seen.since_report_ms);
    }
    publisher->publish(array);
    if (output.publish_failing) {
      output.publish_failing = false;
      LOG_INFO("Publishing /diagnostics works again");
    }
  } catch (const std::exception & error) {
    // Like the events: the timer thread outlives a failing middleware, with one line.
    if (!output.publish_failing) {
      output.publish_failing = true;
      LOG_ERROR("Failed to publish /diagnostics: {}", error.what());
    }
  }
}
