#include "proc_status.hpp"

#include <unistd.h>

#include <fstream>
#include <iterator>
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
    } else if (key == "RssAnon:") {
      fields >> status.rss_anon_kib;
    } else if (key == "RssFile:") {
      fields >> status.rss_file_kib;
    } else if (key == "Threads:") {
      fields >> status.threads;
    }
  }
  // utime and stime are the 14th and 15th fields, after a command name in parentheses that may
  // itself hold spaces.
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto name_end = text.rfind(')');
  if (name_end != std::string::npos) {
    std::istringstream fields(text.substr(name_end + 2));
    std::string skipped;
    for (int i = 3; i < 14 && fields >> skipped; ++i) {
    }
    long long user = 0;
    long long system = 0;
    if (fields >> user >> system) {
      status.cpu_seconds =
        static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
  }
  return status;
}

double loadAverage()
{
  std::ifstream file("/proc/loadavg");
  double load = -1;
  file >> load;
  return load;
}

}  // namespace kelvaron_soak
