#include <chrono>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/console.hpp"
#include "sensor_diagnosis/dependencies.hpp"
#include "sensor_diagnosis/worker_thread.hpp"

kelvaron::WorkerThread Diagnosis::watcherWorker()
{
  return {
    watcher_control_mutex_, config_watcher_running_, config_watcher_thread_, config_watcher_mutex_,
    config_watcher_cv_};
}

void Diagnosis::startConfigWatcher()
{
  if (kelvaron::startWorker(
        watcherWorker(), [this] { configWatcherThread(); }, dependencies_->before_thread_start)) {
    kelvaron::printInfoLine("Config watcher thread started");
  }
}

void Diagnosis::stopConfigWatcher()
{
  if (kelvaron::stopWorker(watcherWorker())) {
    kelvaron::printInfoLine("Config watcher thread stopped");
  }
}

void Diagnosis::reloadFromWatcher()
{
  // reloadConfig lets lock and allocation failures through; a host that started the watcher
  // expects it to outlive one bad attempt, and an escaped exception would end the process.
  try {
    std::function<void()> before_reload;
    {
      std::lock_guard<std::mutex> lock(config_watcher_mutex_);
      before_reload = dependencies_->before_watcher_reload;
    }
    if (before_reload) {
      before_reload();
    }
    reloadConfig();
  } catch (const std::exception & error) {
    kelvaron::printErrorLine(std::string("Config watcher reload failed: ") + error.what());
  } catch (...) {
    kelvaron::printErrorLine("Config watcher reload failed: unknown exception");
  }
}

void Diagnosis::configWatcherThread()
{
  constexpr std::chrono::seconds kCheckPeriod{1};

  while (config_watcher_running_.load()) {
    bool requested = false;
    {
      std::unique_lock<std::mutex> lock(config_watcher_mutex_);
      const auto deadline = std::chrono::steady_clock::now() + kCheckPeriod;
      const bool woken = config_watcher_cv_.wait_until(lock, deadline, [this] {
        return reload_requested_.load() || !config_watcher_running_.load();
      });
      if (woken) {
        requested = reload_requested_.exchange(false);
        if (!requested) {
          return;
        }
      }
    }

    // Neither the wait mutex nor any other lock of the watcher is held while reloading, so a
    // stop can always set the flag and notify.
    if (requested) {
      reloadFromWatcher();
      continue;
    }
    const std::string path = configFilePath();
    if (path.empty()) {
      continue;
    }
    if (getConfigFileModifiedTime(path) > configFileMtime()) {
      kelvaron::printInfoLine("Config file modified, auto-reloading...");
      reloadFromWatcher();
    }
  }
}
