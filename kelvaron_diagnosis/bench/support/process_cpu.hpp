#pragma once

#include <sys/types.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

// CPU ticks (user + system) a process has used so far.
inline long cpuTicks(pid_t pid)
{
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the parenthesised command name; utime and stime are the 14th and 15th.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long utime = 0;
  long stime = 0;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14) {
      utime = std::atol(field.c_str());
    } else if (index == 15) {
      stime = std::atol(field.c_str());
      break;
    }
  }
  return utime + stime;
}
