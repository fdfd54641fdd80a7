// The logger's settings: each environment in a process of its own, stdout compared byte for
// byte.

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

#include "child_process.hpp"
#include "expected_output.hpp"
#include "probe_paths.hpp"

namespace logger_test
{
namespace
{

struct EnvironmentCase
{
  std::string name;
  std::map<std::string, std::string> env;
  std::string scenario;
  std::string expected_out;
};

void PrintTo(const EnvironmentCase & c, std::ostream * os) { *os << c.name; }

const std::map<std::string, std::string> kQuiet{
  {"SPDLOG_STDOUT", "true"}, {"SPDLOG_SYSTEMD", "false"}, {"SPDLOG_LEVEL", "info"}};

std::map<std::string, std::string> quietWith(const std::string & name, const std::string & value)
{
  std::map<std::string, std::string> env = kQuiet;
  env[name] = value;
  return env;
}

const EnvironmentCase kCases[] = {
  // Which variables are read, and that their messages come in the fixed order.
  {"NothingSet", {}, "mixed", kStdoutNotSet + kSystemdNotSet + kLevelNotSet + kMixedAtInfo},
  {"AllValid", kQuiet, "mixed", kMixedAtInfo},
  {"AllInvalid",
   {{"SPDLOG_STDOUT", "yes"}, {"SPDLOG_SYSTEMD", "no"}, {"SPDLOG_LEVEL", "loud"}},
   "mixed",
   kStdoutInvalid + kSystemdInvalid + kLevelInvalid + kMixedAtInfo},

  // Lazy construction: nothing until the first message.
  {"NoMessageNoOutput", {}, "idle", ""},
  {"SettingsReadAtFirstMessage",
   {},
   "late",
   "before the first message\n" + kStdoutNotSet + kSystemdNotSet + kLevelNotSet +
     "  1 [INFO] Timer thread started\n"},

  // SPDLOG_STDOUT: only "true" and "false" are values; anything else still gets the console.
  {"StdoutFalseLeavesNoSink", {{"SPDLOG_STDOUT", "false"}}, "mixed", kSystemdNotSet + kLevelNotSet},
  {"StdoutFalseAndQuiet", quietWith("SPDLOG_STDOUT", "false"), "mixed", ""},
  {"StdoutUpperCaseIsInvalid",
   {{"SPDLOG_STDOUT", "TRUE"}},
   "mixed",
   kStdoutInvalid + kSystemdNotSet + kLevelNotSet + kMixedAtInfo},
  {"StdoutEmptyIsInvalid", quietWith("SPDLOG_STDOUT", ""), "mixed", kStdoutInvalid + kMixedAtInfo},
  {"StdoutFalseUpperCaseIsInvalid", quietWith("SPDLOG_STDOUT", "FALSE"), "mixed",
   kStdoutInvalid + kMixedAtInfo},

  // SPDLOG_SYSTEMD: anything but "true" adds no journal sink and leaves the console alone.
  {"SystemdYesIsInvalid", quietWith("SPDLOG_SYSTEMD", "yes"), "mixed",
   kSystemdInvalid + kMixedAtInfo},
  {"SystemdUpperCaseIsInvalid", quietWith("SPDLOG_SYSTEMD", "TRUE"), "mixed",
   kSystemdInvalid + kMixedAtInfo},

  // SPDLOG_LEVEL: only the six names of the map, in lower case.
  {"LevelTrace", quietWith("SPDLOG_LEVEL", "trace"), "mixed", kMixedAtInfo},
  {"LevelDebug", quietWith("SPDLOG_LEVEL", "debug"), "mixed", kMixedAtInfo},
  {"LevelWarning", quietWith("SPDLOG_LEVEL", "warning"), "mixed", kMixedAtWarning},
  {"LevelError", quietWith("SPDLOG_LEVEL", "error"), "mixed", kMixedAtError},
  {"LevelCritical", quietWith("SPDLOG_LEVEL", "critical"), "mixed", ""},
  {"LevelWarnIsInvalid", quietWith("SPDLOG_LEVEL", "warn"), "mixed", kLevelInvalid + kMixedAtInfo},
  {"LevelOffIsInvalid", quietWith("SPDLOG_LEVEL", "off"), "mixed", kLevelInvalid + kMixedAtInfo},
  {"LevelErrIsInvalid", quietWith("SPDLOG_LEVEL", "err"), "mixed", kLevelInvalid + kMixedAtInfo},
  {"LevelUpperCaseIsInvalid", quietWith("SPDLOG_LEVEL", "WARNING"), "mixed",
   kLevelInvalid + kMixedAtInfo},
  {"LevelEmptyIsInvalid", quietWith("SPDLOG_LEVEL", ""), "mixed", kLevelInvalid + kMixedAtInfo},
  {"LevelWithoutSinks",
   {{"SPDLOG_STDOUT", "false"}, {"SPDLOG_LEVEL", "warning"}},
   "mixed",
   kSystemdNotSet},
};

class LoggerEnvironment : public ::testing::TestWithParam<EnvironmentCase>
{
};

TEST_P(LoggerEnvironment, PrintsExactly)
{
  const EnvironmentCase & c = GetParam();
  const ChildResult run = runChild({{LOGGER_PROBE_PATH, c.scenario}, c.env, false});
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, c.expected_out);
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
  Settings, LoggerEnvironment, ::testing::ValuesIn(kCases),
  [](const ::testing::TestParamInfo<EnvironmentCase> & info) { return info.param.name; });

}  // namespace
}  // namespace logger_test
