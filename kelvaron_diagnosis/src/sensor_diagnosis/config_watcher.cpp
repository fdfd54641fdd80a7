#include <chrono>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/config_watcher_testing.hpp"
#include "sensor_diagnosis/console.hpp"

namespace kelvaron
{
namespace
{

std::mutex g_reload_hook_mutex;
std::function<void()> g_reload_hook;

// A copy is taken so the hook may be replaced while a watcher runs it.
std::function<void()> reloadHook()
{
  std::lock_guard<std::mutex> lock(g_reload_hook_mutex);
  return g_reload_hook;
}

}  // namespace

void setConfigWatcherReloadHookForTesting(std::function<void()> hook)
{
  std::lock_guard<std::mutex> lock(g_reload_hook_mutex);
  g_reload_hook = std::move(hook);
}

}  // namespace kelvaron

void Diagnosis::startConfigWatcher()
{
  // The control mutex makes a concurrent stop wait until the thread object is stored, and the
  // exchange lets exactly one of several concurrent starts create the thread.
  std::lock_guard<std::mutex> control(watcher_control_mutex_);
  bool expected = false;
  if (!config_watcher_running_.compare_exchange_strong(expected, true)) {
    return;
  }
  try {
    config_watcher_thread_ = std::thread(&Diagnosis::configWatcherThread, this);
  } catch (const std::system_error &) {
    config_watcher_running_.store(false);
    throw;
  }
  kelvaron::printInfoLine("Config watcher thread started");
}

void Diagnosis::stopConfigWatcher()
{
  std::lock_guard<std::mutex> control(watcher_control_mutex_);
  bool expected = true;
  if (!config_watcher_running_.compare_exchange_strong(expected, false)) {
    return;
  }
  // Passing through the wait mutex orders the flag before the watcher's next predicate test, so
  // a watcher about to wait sees it at once instead of at its one-second deadline.
  {
    std::lock_guard<std::mutex> wait_lock(config_watcher_mutex_);
  }
  config_watcher_cv_.notify_all();
  if (config_watcher_thread_.joinable()) {
    config_watcher_thread_.join();
  }
  kelvaron::printInfoLine("Config watcher thread stopped");
}

void Diagnosis::reloadFromWatcher()
{
  // reloadConfig lets lock and allocation failures through; a host that started the watcher
  // expects it to outlive one bad attempt, and an escaped exception would end the process.
  try {
    if (const auto hook = kelvaron::reloadHook()) {
      hook();
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
