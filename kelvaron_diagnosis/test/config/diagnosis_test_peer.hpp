#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

#include "sensor_diagnosis.hpp"

// Reads and prepares the private state of a Diagnosis for the configuration tests, always under
// the lock that guards it, so the tests stay clean under ThreadSanitizer.
struct DiagnosisTestPeer
{
  using Thresholds = std::unordered_map<std::string, SensorThreshold>;
  using States = std::unordered_map<std::string, SensorState>;

  static Thresholds thresholds(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    return diagnosis.sensor_thresholds_;
  }

  static States states(Diagnosis & diagnosis)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    return diagnosis.sensor_states_;
  }

  static void setState(Diagnosis & diagnosis, const std::string & topic, const SensorState & state)
  {
    std::lock_guard<std::mutex> lock(diagnosis.data_mutex_);
    diagnosis.sensor_states_[topic] = state;
  }

  // Part of the registry's contract: every registered topic has a state.
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

  static std::string configFilePath(Diagnosis & diagnosis) { return diagnosis.configFilePath(); }
  static int64_t lastConfigMtime(Diagnosis & diagnosis) { return diagnosis.configFileMtime(); }
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

  static bool watcherRunning(Diagnosis & diagnosis)
  {
    return diagnosis.config_watcher_running_.load();
  }

  // Lets frame reports record without running the automatic initialisation (no ROS entities).
  static void markInitialized(Diagnosis & diagnosis) { diagnosis.initialized_.store(true); }
};
