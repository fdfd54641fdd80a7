#include "proc_status.hpp"

#include <fstream>
#include <sstream>
#include <string>

namespace kelvaron_soak
{

ProcStatus readProcStatus(pid_t pid)
{
  ProcStatus status;
  std::ifstream file("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    std::string key;
    fields >> key;
    if (key == "VmRSS:") {
      fields >> status.rss_kib;
    } else if (key == "Threads:") {
      fields >> status.threads;
    }
  }
  return status;
}

}  // namespace kelvaron_soak
