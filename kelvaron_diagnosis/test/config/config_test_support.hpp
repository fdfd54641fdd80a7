#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace config_test
{

// A fixed, whole-second modification time far from "now", so tests never race the real clock.
constexpr int64_t kBaseMtimeSeconds = 1600000000;

std::string dataFile(const std::string & name);
std::string readFile(const std::string & path);
void writeFile(const std::string & path, const std::string & content);
// Sets both access and modification time to `seconds` plus `microseconds`.
void setMtime(const std::string & path, int64_t seconds, int64_t microseconds = 0);
// Writes `content` with modification time `seconds` and renames it over `path`, so a reader
// sees either the old or the new file, each with its own time.
void replaceFile(const std::string & path, const std::string & content, int64_t seconds);
// A copy of a test data file, with the given modification time.
void installDataFile(const std::string & name, const std::string & path, int64_t seconds);

// Polls `condition` until it holds or `limit` has passed; true when it held.
bool eventually(
  const std::function<bool()> & condition,
  std::chrono::milliseconds limit = std::chrono::seconds(20));

// Number of threads of this process.
std::size_t threadCount();

}  // namespace config_test
