// kelvaron_diag_check_config as a robot team's CI runs it.
#include <gtest/gtest.h>

#include <string>

#include "support/scanner_thresholds.hpp"
#include "support/temp_dir.hpp"
#include "tools/run_command.hpp"

namespace
{

const std::string kTool = KELVARON_CHECK_CONFIG_TOOL;

std::string validFile() { return scannerFile(); }

TEST(CheckConfigTool, TheInstalledDefaultFileIsValid)
{
  const std::string file = std::string(KELVARON_SOURCE_DIR) + "/config/sensor_thresholds.yaml";
  const CommandResult result = runCommand(kTool + " " + file + " 2>&1");
  EXPECT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(
    result.output, "[INFO] Successfully loaded sensor config from: " + file + "\nOK      " + file +
                     " (12 sensors)\n");
}

TEST(CheckConfigTool, ReportsEveryErrorWithTheLibrarysLinesAndFails)
{
  TempDir dir;
  const std::string bad = dir.write(
    "bad.yaml",
    "sensors:\n"
    "  /a: 5\n"
    "  /b:\n"
    "    normal_hz: 10\n"
    "    cutoff_timeout_ms: 100\n");
  const std::string good = dir.write("good.yaml", validFile());
  const CommandResult errors = runCommand(kTool + " " + bad + " " + good + " 2>&1 >/dev/null");
  EXPECT_EQ(errors.exit_code, 1);
  EXPECT_EQ(
    errors.output,
    "[ERROR] Sensor '/a' config must be a map\n"
    "[ERROR] Sensor '/b' missing required field: low_ratio\n"
    "[ERROR] Sensor '/b' missing required field: abnormal_duration_ms\n"
    "[ERROR] Config validation failed for file: " +
      bad + "\n");
  const CommandResult summary = runCommand(kTool + " " + bad + " " + good + " 2>/dev/null");
  EXPECT_EQ(
    summary.output, "INVALID " + bad + "\n[INFO] Successfully loaded sensor config from: " + good +
                      "\nOK      " + good + " (1 sensors)\n");
}

TEST(CheckConfigTool, MissingFileIsAClearErrorAndUsageErrorsExitTwo)
{
  const CommandResult missing = runCommand(kTool + " /nonexistent/thresholds.yaml 2>&1");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(
    missing.output.find("cannot read '/nonexistent/thresholds.yaml': No such file or directory"),
    std::string::npos)
    << missing.output;
  EXPECT_NE(missing.output.find("INVALID /nonexistent/thresholds.yaml"), std::string::npos);

  EXPECT_EQ(runCommand(kTool + " 2>/dev/null").exit_code, 2);
  EXPECT_EQ(runCommand(kTool + " --bogus 2>/dev/null").exit_code, 2);
  const CommandResult help = runCommand(kTool + " --help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.output.find("Usage: kelvaron_diag_check_config FILE..."), std::string::npos);
}

}  // namespace
