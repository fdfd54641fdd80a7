// Console lines as a pipe reader sees them: whole while threads write at once, and delivered
// as each is written.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "probe_paths.hpp"
#include "support/test_domain.hpp"

namespace logger_test
{
namespace
{

std::string writeThresholdFile()
{
  const std::string path = ::testing::TempDir() + "console_probe_thresholds.yaml";
  std::ofstream(path) << "sensors:\n"
                         "  /scan_01:\n"
                         "    normal_hz: 10\n"
                         "    low_ratio: 0.5\n"
                         "    cutoff_timeout_ms: 500\n"
                         "    cutoff_recovery_threshold: 3\n"
                         "    abnormal_duration_ms: 1000\n";
  return path;
}

std::vector<std::string> linesOf(const std::string & text)
{
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

const std::map<std::string, std::string> kLoggerOnStdout{
  {"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "info"}};

TEST(ConsoleLines, ConcurrentWritersNeverTearALine)
{
  useOwnTestDomain();
  const std::string file = writeThresholdFile();
  const ChildResult run =
    runChild({{CONSOLE_PROBE_PATH, "storm", file, "3000"}, kLoggerOnStdout, false});
  ASSERT_FALSE(run.timed_out);
  ASSERT_EQ(run.exit_code, 0) << run.err;

  const std::string quoted_file =
    std::regex_replace(file, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
  const std::vector<std::regex> shapes{
    std::regex(
      "\\[INFO\\] (Reloading config from|Successfully loaded sensor config from): " + quoted_file),
    std::regex(R"(\[INFO\] Config reloaded successfully)"),
    std::regex(R"(environment variable SPDLOG_\w+ is not set, and set \w+( level)?)"),
    std::regex(R"([ \d]{2}\d \[WARN\] Sensor topic not registered: /unregistered)"),
    std::regex(R"([ \d]{2}\d \[INFO\] event_id:80\d\d, event_status:[01], event_msg:[A-Z0-9_ ]+)"),
    std::regex(R"([ \d]{2}\d \[INFO\] Timer thread (started|stopped))"),
    std::regex(R"([ \d]{2}\d \[INFO\] Diagnosis system auto-initialized with config: .*)"),
  };
  const std::vector<std::string> lines = linesOf(run.out);
  std::size_t reloads = 0;
  std::size_t torn = 0;
  for (const std::string & line : lines) {
    bool known = false;
    for (const std::regex & shape : shapes) {
      known = known || std::regex_match(line, shape);
    }
    if (!known && torn++ < 5) {
      ADD_FAILURE() << "torn or unknown line: '" << line << "'";
    }
    reloads += line == "[INFO] Config reloaded successfully";
  }
  EXPECT_EQ(torn, 0U) << "of " << lines.size() << " lines";
  EXPECT_EQ(reloads, 3000U);
  // None of our lines belongs on standard error here; the middleware may print its own there
  // (Cyclone DDS on a loopback without multicast; rcl's "[WARN] [<time>] [rcl]: ..." on
  // Jazzy), which are not ours to judge. Ours: direct lines, numbered lines, logger notices.
  const std::regex ours(
    R"(\[(INFO|WARN|ERROR)\] [^\[].*|[ \d]{2}\d \[(INFO|WARN|ERROR)\] .*|environment variable SPDLOG_.*)");
  for (const std::string & line : linesOf(run.err)) {
    EXPECT_FALSE(std::regex_match(line, ours)) << "on standard error: '" << line << "'";
  }
}

TEST(ConsoleLines, EachLineReachesAPipeWhenItIsWritten)
{
  useOwnTestDomain();
  const std::string file = writeThresholdFile();
  // The probe ends with _exit right after the reload, so only lines whose own write flushed
  // them arrive.
  const ChildResult run =
    runChild({{CONSOLE_PROBE_PATH, "reload-then-vanish", file}, kLoggerOnStdout, false});
  ASSERT_FALSE(run.timed_out);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(
    run.out, "[INFO] Successfully loaded sensor config from: " + file +
               "\n"
               "[INFO] Reloading config from: " +
               file +
               "\n"
               "[INFO] Successfully loaded sensor config from: " +
               file +
               "\n"
               "[INFO] Config reloaded successfully\n");
}

}  // namespace
}  // namespace logger_test
