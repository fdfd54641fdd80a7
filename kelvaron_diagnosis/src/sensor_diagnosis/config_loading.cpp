#include <sys/stat.h>

#include <exception>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/console.hpp"
#include "sensor_diagnosis/recent_streams.hpp"

// Locks: config_load_mutex_ serialises whole loads (init_mutex_ -> config_load_mutex_ ->
// data_mutex_); config_file_mutex_ only guards the path and the time, held for a copy at most.

int64_t Diagnosis::configFileMtime()
{
  std::lock_guard<std::mutex> lock(config_file_mutex_);
  return last_config_mtime_;
}

std::string Diagnosis::configFilePath()
{
  std::lock_guard<std::mutex> lock(config_file_mutex_);
  return config_file_path_;
}

void Diagnosis::recordConfigLoad(int64_t mtime)
{
  {
    std::lock_guard<std::mutex> lock(config_file_mutex_);
    last_config_mtime_ = mtime;
  }
  config_loaded_.store(true);
}

int64_t Diagnosis::getConfigFileModifiedTime(const std::string & path)
{
  struct stat info = {};
  if (::stat(path.c_str(), &info) != 0) {
    return 0;
  }
  // Whole seconds only: edits within one second look alike, which the watcher accepts.
  return static_cast<int64_t>(info.st_mtime) * 1000000000LL;
}

namespace
{

// yaml-cpp 0.7 leaks its read buffer when a stream opens but cannot be read, as a directory
// does; a directory is refused the way the reader refuses a file it cannot open.
YAML::Node readThresholdFile(const std::string & path)
{
  struct stat info = {};
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    throw YAML::BadFile(path);
  }
  return YAML::LoadFile(path);
}

}  // namespace

bool Diagnosis::loadConfigHoldingLoadLock(const std::string & path, bool & thresholds_touched)
{
  thresholds_touched = false;
  try {
    // Taken before reading: an edit saved while the file is being read stays newer than the
    // recorded time, so the watcher still picks it up.
    const int64_t mtime = getConfigFileModifiedTime(path);
    const YAML::Node root = readThresholdFile(path);
    if (!validateConfig(root)) {
      kelvaron::printErrorLine("Config validation failed for file: " + path);
      return false;
    }
    thresholds_touched = true;
    if (!parseSensorConfig(root["sensors"])) {
      kelvaron::printErrorLine("Failed to parse sensor config from: " + path);
      return false;
    }
    recordConfigLoad(mtime);
    kelvaron::printInfoLine("Successfully loaded sensor config from: " + path);
    return true;
  } catch (const YAML::Exception & error) {
    kelvaron::printErrorLine("YAML parsing error in config file '" + path + "': " + error.what());
  } catch (const std::exception & error) {
    kelvaron::printErrorLine("Error loading config file '" + path + "': " + error.what());
  }
  return false;
}

bool Diagnosis::loadConfigFromFile(const std::string & path)
{
  std::lock_guard<std::mutex> load_lock(config_load_mutex_);
  bool thresholds_touched = false;
  return loadConfigHoldingLoadLock(path, thresholds_touched);
}

bool Diagnosis::initializeFromConfig(const std::string & path)
{
  std::lock_guard<std::mutex> load_lock(config_load_mutex_);
  // Remembered even when the load fails, so a reload can pick up the repaired file.
  {
    std::lock_guard<std::mutex> lock(config_file_mutex_);
    config_file_path_ = path;
  }
  bool thresholds_touched = false;
  const bool loaded = loadConfigHoldingLoadLock(path, thresholds_touched);
  if (!loaded) {
    kelvaron::printErrorLine("Failed to initialize from config file: " + path);
  }
  return loaded;
}

bool Diagnosis::reloadConfig()
{
  // Held across save, load and restore: a rollback can then never bring back thresholds older
  // than another thread's successful load.
  std::lock_guard<std::mutex> load_lock(config_load_mutex_);
  const std::string path = configFilePath();
  if (path.empty()) {
    kelvaron::printErrorLine("No config file path set");
    return false;
  }
  kelvaron::printInfoLine("Reloading config from: " + path);

  std::unordered_map<std::string, SensorThreshold> previous;
  {
    std::lock_guard<std::mutex> lock(data_mutex_);
    previous = sensor_thresholds_;
  }

  bool thresholds_touched = false;
  if (loadConfigHoldingLoadLock(path, thresholds_touched)) {
    kelvaron::printInfoLine("Config reloaded successfully");
    return true;
  }

  kelvaron::printErrorLine("Config reload failed, rolling back to previous configuration");
  // Restoring after a load that never reached the parser would only undo Register calls that
  // other threads made meanwhile.
  if (thresholds_touched) {
    std::lock_guard<std::mutex> lock(data_mutex_);
    recent_streams_->forget();
    sensor_thresholds_ = std::move(previous);
  }
  return false;
}
