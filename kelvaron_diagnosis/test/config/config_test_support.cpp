#include "config_test_support.hpp"

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace config_test
{

std::string dataFile(const std::string & name)
{
  return std::string(KELVARON_TEST_DATA_DIR) + "/config/" + name;
}

std::string readFile(const std::string & path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path);
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const std::string & path, const std::string & content)
{
  std::ofstream outfile(path, std::ios::binary | std::ios::trunc);
  outfile << content;
  if (!outfile.flush()) {
    throw std::runtime_error("cannot write " + path);
  }
}

void setMtime(const std::string & path, int64_t seconds, int64_t microseconds)
{
  timeval times[2];
  times[0].tv_sec = static_cast<time_t>(seconds);
  times[0].tv_usec = static_cast<suseconds_t>(microseconds);
  times[1] = times[0];
  if (::utimes(path.c_str(), times) != 0) {
    throw std::system_error(errno, std::generic_category(), "utimes " + path);
  }
}

void replaceFile(const std::string & path, const std::string & content, int64_t seconds)
{
  const std::string staged = path + ".staged";
  writeFile(staged, content);
  setMtime(staged, seconds);
  std::filesystem::rename(staged, path);
}

void installDataFile(const std::string & name, const std::string & path, int64_t seconds)
{
  replaceFile(path, readFile(dataFile(name)), seconds);
}

bool eventually(const std::function<bool()> & condition, std::chrono::milliseconds limit)
{
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return condition();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::size_t threadCount()
{
  std::size_t count = 0;
  for ([[maybe_unused]] const auto & entry :
       std::filesystem::directory_iterator("/proc/self/task")) {
    ++count;
  }
  return count;
}

}  // namespace config_test
