#include <exception>
#include <mutex>
#include <string>

#include <ament_index_cpp/get_package_share_directory.hpp>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"

namespace
{

constexpr const char * kPackageName = "kelvaron_diagnosis";
constexpr const char * kDefaultConfigRelativePath = "/config/sensor_thresholds.yaml";
// In the install tree of the release the library was built for (/opt/ros/humble/...).
constexpr const char * kFallbackConfigPath = KELVARON_FALLBACK_CONFIG_PATH;

}  // namespace

bool Diagnosis::autoInitialize()
{
  // An exception (a node that cannot be created) leaves the flag unset so the next report
  // retries; a normal return, successful or not, is final.
  std::call_once(init_once_, [this] {
    try {
      default_config_path_ =
        ament_index_cpp::get_package_share_directory(kPackageName) + kDefaultConfigRelativePath;
    } catch (const std::exception & error) {
      LOG_ERROR("Failed to get package share directory: {}", error.what());
      default_config_path_ = kFallbackConfigPath;
    }
    const bool initialized_before = initialized_.load();
    const bool initialized = initialize(default_config_path_);
    // The timer runs even after a failed load, so registered sensors are still watched.
    try {
      startTimer();
    } catch (...) {
      // Reports skip the initialisation once the object is initialised: left so, a refused
      // thread would leave an object that accepts frames and never judges them. Cleared, the
      // next report runs the whole initialisation again.
      if (!initialized_before) {
        initialized_.store(false);
      }
      throw;
    }
    if (initialized) {
      LOG_INFO("Diagnosis system auto-initialized with config: {}", default_config_path_);
    } else {
      LOG_ERROR("Failed to auto-initialize diagnosis system with config: {}", default_config_path_);
    }
  });
  return initialized_.load();
}

bool Diagnosis::initialize(const std::string & config_path)
{
  std::lock_guard<std::mutex> lock(init_mutex_);
  if (initialized_.load()) {
    LOG_WARN("Diagnosis already initialized");
    return true;
  }
  createChannels();
  const bool loaded = initializeFromConfig(config_path);
  if (loaded) {
    initialized_.store(true);
  }
  return loaded;
}
