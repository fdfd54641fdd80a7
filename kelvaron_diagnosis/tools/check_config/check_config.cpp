#include "check_config.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "sensor_diagnosis.hpp"

namespace kelvaron_check_config
{
namespace
{

// Names the reason a file cannot be opened, or returns an empty string when it can. Opened
// without blocking, so a FIFO at the path cannot hang the check; the load refuses it.
std::string unreadableReason(const std::string & path)
{
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return std::strerror(errno);
  }
  ::close(fd);
  return "";
}

}  // namespace

bool checkConfigFile(const std::string & path)
{
  const std::string unreadable = unreadableReason(path);
  if (!unreadable.empty()) {
    std::cerr << "kelvaron_diag_check_config: cannot read '" << path << "': " << unreadable
              << std::endl;
    std::cout << "INVALID " << path << std::endl;
    return false;
  }
  // A fresh object per file: loading needs no ROS context and never publishes.
  Diagnosis diagnosis;
  if (!diagnosis.loadConfigFromFile(path)) {
    std::cout << "INVALID " << path << std::endl;
    return false;
  }
  // Counted from the load itself: reading the file again could meet a different file.
  std::cout << "OK      " << path << " (" << diagnosis.registeredTopics().size() << " sensors)"
            << std::endl;
  return true;
}

}  // namespace kelvaron_check_config
