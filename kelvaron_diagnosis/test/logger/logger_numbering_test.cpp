// Message numbers: three columns, counting only what the level lets through, wrapping after 127,
// one counter for all threads.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "child_process.hpp"
#include "expected_output.hpp"
#include "probe_paths.hpp"

namespace logger_test
{
namespace
{

const std::map<std::string, std::string> kQuiet{
  {"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "info"}};

ChildResult runProbe(std::vector<std::string> args, std::map<std::string, std::string> env = kQuiet)
{
  args.insert(args.begin(), LOGGER_PROBE_PATH);
  return runChild({std::move(args), std::move(env), false});
}

std::vector<std::string> lines(const std::string & text)
{
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    result.push_back(line);
  }
  return result;
}

// The "count" scenario's line for message i, shown with number `shown`.
std::string countLine(unsigned shown, int i)
{
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%3u [INFO] message %d", shown, i);
  return buffer;
}

TEST(LoggerNumbering, WrapsAfter127)
{
  const ChildResult run = runProbe({"count", "129"});
  ASSERT_FALSE(run.timed_out);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> got = lines(run.out);
  ASSERT_EQ(got.size(), 129U);
  EXPECT_EQ(got[0], "  1 [INFO] message 1");
  EXPECT_EQ(got[8], "  9 [INFO] message 9");
  EXPECT_EQ(got[9], " 10 [INFO] message 10");
  EXPECT_EQ(got[126], "127 [INFO] message 127");
  EXPECT_EQ(got[127], "  0 [INFO] message 128");
  EXPECT_EQ(got[128], "  1 [INFO] message 129");
}

TEST(LoggerNumbering, ShowsLowSevenBitsAcrossTheCounterOverflow)
{
  constexpr int kMessages = 300;  // past 255, where the 8-bit counter itself wraps
  const ChildResult run = runProbe({"count", std::to_string(kMessages)});
  ASSERT_FALSE(run.timed_out);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::string expected;
  for (int i = 1; i <= kMessages; ++i) {
    expected += countLine(static_cast<unsigned>(i % 128), i) + "\n";
  }
  EXPECT_EQ(run.out, expected);
}

TEST(LoggerNumbering, UnregisteredTopicAsFifthMessage)
{
  const ChildResult run = runProbe({"unregistered"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(
    run.out,
    "  1 [INFO] frame 1 of /scan_01\n"
    "  2 [INFO] frame 2 of /scan_01\n"
    "  3 [INFO] frame 3 of /scan_01\n"
    "  4 [INFO] frame 4 of /scan_01\n"
    "  5 [WARN] Sensor topic not registered: /scan\n");
}

TEST(LoggerNumbering, FirstWarningIsOneWhenInfoIsFiltered)
{
  const ChildResult run = runProbe({"unregistered"}, {{"SPDLOG_LEVEL", "warning"}});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(
    run.out, kStdoutNotSet + kSystemdNotSet + "  1 [WARN] Sensor topic not registered: /scan\n");
}

TEST(LoggerNumbering, DroppedMessagesTakeNoNumber)
{
  const ChildResult run = runProbe({"mixed"}, {{"SPDLOG_LEVEL", "warning"}});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, kStdoutNotSet + kSystemdNotSet + kMixedAtWarning);
}

TEST(LoggerNumbering, ThreadsShareOneCounterAndOneConstruction)
{
  const ChildResult run = runProbe({"threads"}, {});
  ASSERT_FALSE(run.timed_out);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> got = lines(run.out);
  ASSERT_EQ(got.size(), 3U + 100U) << run.out;

  // The settings are read once, before any message.
  EXPECT_EQ(got[0] + "\n", kStdoutNotSet);
  EXPECT_EQ(got[1] + "\n", kSystemdNotSet);
  EXPECT_EQ(got[2] + "\n", kLevelNotSet);

  // Numbers may appear out of order between threads, but each is taken exactly once and every
  // line is whole.
  const std::regex shape(R"(^([ \d]{3}) \[INFO\] thread (\d) message (\d+)$)");
  std::multiset<int> numbers;
  std::set<std::pair<int, int>> messages;
  for (std::size_t i = 3; i < got.size(); ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(got[i], match, shape)) << got[i];
    numbers.insert(std::stoi(match[1].str()));
    messages.emplace(std::stoi(match[2].str()), std::stoi(match[3].str()));
  }
  std::multiset<int> expected_numbers;
  for (int n = 1; n <= 100; ++n) {
    expected_numbers.insert(n);
  }
  EXPECT_EQ(numbers, expected_numbers);
  EXPECT_EQ(messages.size(), 100U);
}

}  // namespace
}  // namespace logger_test
