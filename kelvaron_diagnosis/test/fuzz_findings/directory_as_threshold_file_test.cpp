// Inputs the fuzzers found, kept as regression cases.
//
// A path naming a directory: yaml-cpp 0.7 opens it, fails to read it and leaks its read buffer
// (found by check_config_fuzzer under LeakSanitizer). The loader refuses a directory as a file
// it cannot read, before the reader sees it; under AddressSanitizer these cases also prove that
// nothing leaks.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/config_test_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/scanner_thresholds.hpp"
#include "support/temp_dir.hpp"
#include "tools/run_command.hpp"

namespace
{

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Peer = DiagnosisTestAccess;

const std::string kValidFile = scannerFile();

std::string badFileLine(const std::string & path)
{
  return "[ERROR] YAML parsing error in config file '" + path + "': bad file: " + path;
}

TEST(DirectoryAsThresholdFile, LoadFailsAsForAFileThatCannotBeRead)
{
  TempDir dir;
  const std::string path = dir.path("thresholds.d");
  std::filesystem::create_directory(path);
  Diagnosis diagnosis;
  ConsoleCapture console;

  EXPECT_FALSE(diagnosis.loadConfigFromFile(path));

  EXPECT_THAT(console.lines(), ElementsAre(err(badFileLine(path))));
  EXPECT_THAT(Peer::thresholds(diagnosis), IsEmpty());
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis), 0);
}

TEST(DirectoryAsThresholdFile, ReloadRollsBackWhenTheFileWasReplacedByADirectory)
{
  TempDir dir;
  const std::string path = dir.path("sensor_thresholds.yaml");
  config_test::writeFile(path, kValidFile);
  Diagnosis diagnosis;
  ConsoleCapture console;
  ASSERT_TRUE(diagnosis.initializeFromConfig(path));
  const int64_t loaded_mtime = Peer::lastConfigMtime(diagnosis);
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  console.take();

  EXPECT_FALSE(diagnosis.reloadConfig());

  EXPECT_THAT(
    console.lines(),
    ElementsAre(
      out("[INFO] Reloading config from: " + path), err(badFileLine(path)),
      err("[ERROR] Config reload failed, rolling back to previous configuration")));
  const auto thresholds = Peer::thresholds(diagnosis);
  ASSERT_EQ(thresholds.size(), 1U);
  EXPECT_EQ(thresholds.at("/scan_01").cutoff_timeout_ms, 500);
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis), loaded_mtime);
}

TEST(DirectoryAsThresholdFile, CheckToolCallsItInvalid)
{
  TempDir dir;
  const std::string path = dir.path("thresholds.d");
  std::filesystem::create_directory(path);

  const CommandResult result =
    runCommand(std::string(KELVARON_CHECK_CONFIG_TOOL) + " " + path + " 2>&1");

  EXPECT_EQ(result.exit_code, 1) << result.output;
  EXPECT_EQ(result.output, badFileLine(path) + "\nINVALID " + path + "\n");
}

}  // namespace
