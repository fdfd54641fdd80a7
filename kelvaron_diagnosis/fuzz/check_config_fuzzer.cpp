// Arbitrary bytes as a file given to kelvaron_diag_check_config. The check must end with exactly
// one summary line that matches its result and the file's validity, and never crash or throw.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "check_config.hpp"
#include "fuzz_support.hpp"
#include "threshold_oracle.hpp"

namespace
{

using kelvaron_fuzz::fail;
using kelvaron_fuzz::require;

// Captures std::cout for the length of one check.
class CoutCapture
{
public:
  CoutCapture() : previous_(std::cout.rdbuf(captured_.rdbuf())) {}
  ~CoutCapture() { std::cout.rdbuf(previous_); }
  CoutCapture(const CoutCapture &) = delete;
  CoutCapture & operator=(const CoutCapture &) = delete;

  std::string text() const { return captured_.str(); }

private:
  std::ostringstream captured_;
  std::streambuf * previous_;
};

std::string checkCapturingOutput(const std::string & path, bool & valid)
{
  CoutCapture capture;
  valid = kelvaron_check_config::checkConfigFile(path);
  return capture.text();
}

// Paths that name no regular file (a directory, a missing file, nothing): each must be refused
// with one INVALID line.
void checkSpecialPaths(const kelvaron_fuzz::ScratchFile & file)
{
  for (const std::string & path :
       {file.directory(), file.directory() + "/missing.yaml", std::string()}) {
    bool valid = true;
    const std::string output = checkCapturingOutput(path, valid);
    if (valid || output != "INVALID " + path + "\n") {
      fail("the check of '" + path + "' printed: " + output);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  kelvaron_fuzz::silenceLibraryConsole();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t * data, std::size_t size)
{
  static const kelvaron_fuzz::ScratchFile file("thresholds.yaml");
  static const bool special_paths_checked = (checkSpecialPaths(file), true);
  (void)special_paths_checked;

  const std::string bytes(reinterpret_cast<const char *>(data), size);
  file.write(bytes);
  bool valid = false;
  const std::string output = checkCapturingOutput(file.path(), valid);

  const auto expected = kelvaron_fuzz::expectedThresholds(bytes);
  require(
    valid == expected.has_value(),
    valid ? "the check accepted an invalid file" : "the check refused a valid file");
  // The count is of distinct topics: a topic written twice is registered once.
  const std::string expected_output =
    valid ? "[INFO] Successfully loaded sensor config from: " + file.path() + "\nOK      " +
              file.path() + " (" + std::to_string(expected->size()) + " sensors)\n"
          : "INVALID " + file.path() + "\n";
  if (output != expected_output) {
    fail("unexpected output: " + output);
  }
  return 0;
}
