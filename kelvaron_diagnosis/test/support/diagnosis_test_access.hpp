#pragma once

// Reads and sets the internal state of a Diagnosis object for the library's own tests.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/dependencies.hpp"

struct DiagnosisTestAccess
{
  using Thresholds = std::unordered_map<std::string, SensorThreshold>;
  using States = std::unordered_map<std::string, SensorState>;

  static std::unordered_map<std::string, SensorThreshold> thresholds(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    return diagnosis.sensor_thresholds_;
  }

  static std::unordered_map<std::string, SensorState> states(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    return diagnosis.sensor_states_;
  }

  static void setState(Diagnosis & diagnosis, const std::string & topic, const SensorState & state)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    diagnosis.sensor_states_[topic] = state;
  }

  template <typename Edit>
  static void editState(Diagnosis & diagnosis, const std::string & topic, Edit edit)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    edit(diagnosis.sensor_states_[topic], diagnosis.sensor_thresholds_[topic]);
  }

  static std::string configFilePath(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.config_file_mutex_);
    return diagnosis.config_file_path_;
  }

  static int64_t lastConfigMtime(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.config_file_mutex_);
    return diagnosis.last_config_mtime_;
  }

  static bool timerRunning(Diagnosis & diagnosis) { return diagnosis.timer_running_.load(); }
  static bool timerJoinable(Diagnosis & diagnosis) { return diagnosis.timer_thread_.joinable(); }
  static bool watcherRunning(Diagnosis & diagnosis)
  {
    return diagnosis.config_watcher_running_.load();
  }
  static bool initialized(Diagnosis & diagnosis) { return diagnosis.initialized_.load(); }
  static bool hasChannels(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    return diagnosis.sensor_proxy_publisher_ && diagnosis.chassis_pnc_publisher_ &&
           diagnosis.chassis_loc_publisher_;
  }
  static const rclcpp::Node * sensorProxyNode(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    return diagnosis.sensor_proxy_node_.get();
  }
  static std::string defaultConfigPath(Diagnosis & diagnosis)
  {
    return diagnosis.default_config_path_;
  }
  // Every registered topic has a state.
  static bool everyThresholdHasState(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    for (const auto & entry : diagnosis.sensor_thresholds_) {
      if (diagnosis.sensor_states_.count(entry.first) == 0) {
        return false;
      }
    }
    return true;
  }

  static bool configLoaded(Diagnosis & diagnosis) { return diagnosis.config_loaded_.load(); }

  // What a host that sets reload_requested_ does: the watcher reloads at once.
  static void requestReload(Diagnosis & diagnosis)
  {
    diagnosis.reload_requested_.store(true);
    diagnosis.config_watcher_cv_.notify_all();
  }

  static bool watcherThreadJoinable(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> control(diagnosis.watcher_control_mutex_);
    return diagnosis.config_watcher_thread_.joinable();
  }

  // --- Dependencies: each is set under the lock its readers hold --------------------------------

  // Replaces the wall clock (milliseconds since the Unix epoch); an empty function restores it.
  static void setWallClock(Diagnosis & diagnosis, std::function<int64_t()> clock)
  {
    std::function<std::optional<int64_t>()> clock_ms;
    if (clock) {
      clock_ms = [clock = std::move(clock)]() -> std::optional<int64_t> { return clock(); };
    }
    setClock(diagnosis, std::move(clock_ms));
  }

  // Replaces the object's time base, simulated time included: nothing stands for a clock that
  // has not started (no /clock yet). An empty function restores the real one.
  static void setClock(Diagnosis & diagnosis, std::function<std::optional<int64_t>()> clock)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    diagnosis.dependencies_->clock_ms = std::move(clock);
  }

  // Shows topics on /diagnostics as `resolve` names them, as a host node's namespace would.
  static void setTopicResolver(
    Diagnosis & diagnosis, std::function<std::string(const std::string &)> resolve)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    diagnosis.dependencies_->resolve_topic = std::move(resolve);
  }

  // Runs `fault` just before each health-check publication; it may throw.
  static void setPublishFault(Diagnosis & diagnosis, std::function<void()> fault)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    diagnosis.dependencies_->publish_fault = std::move(fault);
  }

  // Runs `hook` on the watcher thread before each of its reloads; it may throw.
  static void setBeforeWatcherReload(Diagnosis & diagnosis, std::function<void()> hook)
  {
    std::lock_guard<std::mutex> lock(diagnosis.config_watcher_mutex_);
    diagnosis.dependencies_->before_watcher_reload = std::move(hook);
  }

  // Runs `hook` before each of the object's threads is created; set while no thread starts.
  static void setBeforeThreadStart(Diagnosis & diagnosis, std::function<void()> hook)
  {
    diagnosis.dependencies_->before_thread_start = std::move(hook);
  }

  // Runs `hook` in every load between taking the file's time and reading the file.
  static void setBeforeConfigRead(Diagnosis & diagnosis, std::function<void()> hook)
  {
    std::lock_guard<std::mutex> lock(diagnosis.config_load_mutex_);
    diagnosis.dependencies_->before_config_read = std::move(hook);
  }

  // The name /diagnostics shows for `topic`: as the host node resolves it, else as written.
  static std::string shownTopic(Diagnosis & diagnosis, const std::string & topic)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    const auto & resolve = diagnosis.dependencies_->resolve_topic;
    return resolve ? resolve(topic) : topic;
  }

  // Now on the object's time base; nothing before simulated time has started.
  static std::optional<int64_t> nowMs(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    return diagnosis.dependencies_->nowMs();
  }

  // Runs the /diagnostics step of a timer pass now (the benchmarks time it).
  static void publishRosDiagnostics(Diagnosis & diagnosis) { diagnosis.publishRosDiagnostics(); }

  // Lets frame reports record without running the automatic initialisation (no ROS entities).
  static void markInitialized(Diagnosis & diagnosis) { diagnosis.initialized_.store(true); }
};
