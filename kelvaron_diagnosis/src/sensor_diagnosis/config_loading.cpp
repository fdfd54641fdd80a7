#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <exception>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/console.hpp"
#include "sensor_diagnosis/dependencies.hpp"
#include "sensor_diagnosis/recent_streams.hpp"
#include "sensor_diagnosis/ros_diagnostics_settings.hpp"

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
  // Anything but a regular file reads as absent: the watcher waits for a real file instead of
  // retrying a load that is refused every second.
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return 0;
  }
  // Whole seconds only: edits within one second look alike, which the watcher accepts.
  return static_cast<int64_t>(info.st_mtime) * 1000000000LL;
}

namespace
{

// Closes a descriptor on every exit.
class FileDescriptor
{
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor()
  {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  FileDescriptor(const FileDescriptor &) = delete;
  FileDescriptor & operator=(const FileDescriptor &) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

// Only a regular file is read. A FIFO or a device would block the read (and with it the load
// lock, the watcher and the destructor) for ever, and yaml-cpp 0.7 leaks its read buffer on a
// directory; all are refused as a file that cannot be read. Opening without blocking and
// checking the opened descriptor leaves no window for the path to be swapped in between.
YAML::Node readThresholdFile(const std::string & path)
{
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat info = {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw YAML::BadFile(path);
  }
  std::string content;
  std::array<char, 8192> buffer{};
  for (;;) {
    const ssize_t count = ::read(file.get(), buffer.data(), buffer.size());
    if (count > 0) {
      content.append(buffer.data(), static_cast<std::size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      throw YAML::BadFile(path);
    }
  }
  return YAML::Load(content);
}

}  // namespace

bool Diagnosis::loadConfigHoldingLoadLock(const std::string & path, bool & thresholds_touched)
{
  thresholds_touched = false;
  try {
    // Taken before reading: an edit saved while the file is being read stays newer than the
    // recorded time, so the watcher still picks it up.
    const int64_t mtime = getConfigFileModifiedTime(path);
    if (dependencies_->before_config_read) {
      dependencies_->before_config_read();
    }
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
    applyRosDiagnostics(root[kelvaron::kRosDiagnosticsKey]);
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
