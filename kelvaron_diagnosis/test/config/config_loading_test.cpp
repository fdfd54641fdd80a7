// Loading, initialising from and reloading the threshold file: results, console lines in order,
// the recorded modification time and the thresholds in force afterwards.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "config_test_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/temp_dir.hpp"
#include "support/threshold_matcher.hpp"

namespace
{

using config_test::kBaseMtimeSeconds;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using Peer = DiagnosisTestAccess;

constexpr int64_t kNanosPerSecond = 1000000000;

std::vector<std::string> registeredTopics(Diagnosis & diagnosis)
{
  std::vector<std::string> names;
  for (const auto & entry : Peer::thresholds(diagnosis)) {
    names.push_back(entry.first);
  }
  return names;
}

void expectTopicA(Diagnosis & diagnosis)
{
  const auto thresholds = Peer::thresholds(diagnosis);
  ASSERT_THAT(registeredTopics(diagnosis), UnorderedElementsAre("/topic_a"));
  EXPECT_THAT(thresholds.at("/topic_a"), ThresholdIs(10.0F, 0.5F, 500, 3, 800));
}

std::string loadedLine(const std::string & path)
{
  return "[INFO] Successfully loaded sensor config from: " + path;
}

const char * const kRollbackLine =
  "[ERROR] Config reload failed, rolling back to previous configuration";

class ConfigLoading : public ::testing::Test
{
protected:
  // The file in use, first loaded with the thresholds of /topic_a at kBaseMtimeSeconds.
  void initializeWithTopicA()
  {
    config_test::installDataFile("sensors_a.yaml", path_, kBaseMtimeSeconds);
    ASSERT_TRUE(diagnosis_.initializeFromConfig(path_));
    capture_.take();
  }

  TempDir dir_;
  const std::string path_ = dir_.path("sensor_thresholds.yaml");
  Diagnosis diagnosis_;
  ConsoleCapture capture_;
};

// --- loadConfigFromFile --------------------------------------------------------------------

TEST_F(ConfigLoading, LoadRecordsWholeSecondsOfTheFileTime)
{
  config_test::installDataFile("valid_example.yaml", path_, 0);
  config_test::setMtime(path_, kBaseMtimeSeconds, 999999);

  EXPECT_TRUE(diagnosis_.loadConfigFromFile(path_));
  EXPECT_THAT(capture_.lines(), ElementsAre(out(loadedLine(path_))));
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), kBaseMtimeSeconds * kNanosPerSecond);
  EXPECT_TRUE(Peer::configLoaded(diagnosis_));
  // A direct load does not change the file that reloads and the watcher use.
  EXPECT_EQ(Peer::configFilePath(diagnosis_), "");
  EXPECT_THAT(
    registeredTopics(diagnosis_), UnorderedElementsAre("/scan_01", "/camera_01/color/image_raw"));
}

TEST_F(ConfigLoading, LoadOfASecondFileKeepsThePathInUse)
{
  initializeWithTopicA();
  const std::string other = dir_.path("other.yaml");
  config_test::installDataFile("sensors_b.yaml", other, kBaseMtimeSeconds + 50);

  EXPECT_TRUE(diagnosis_.loadConfigFromFile(other));
  EXPECT_THAT(registeredTopics(diagnosis_), UnorderedElementsAre("/topic_b"));
  EXPECT_EQ(Peer::configFilePath(diagnosis_), path_);
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), (kBaseMtimeSeconds + 50) * kNanosPerSecond);
}

struct FailedLoad
{
  const char * data_file;  // nullptr: no file at all
  std::vector<std::string> lines_before_error;
  std::string error_line;  // every "{path}" stands for the file's path
};

void PrintTo(const FailedLoad & failed, std::ostream * os)
{
  *os << (failed.data_file != nullptr ? failed.data_file : "no file");
}

std::string withPath(std::string text, const std::string & path)
{
  const std::string placeholder = "{path}";
  for (auto at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + path.size())) {
    text.replace(at, placeholder.size(), path);
  }
  return text;
}

class ConfigLoadFailure : public ConfigLoading, public ::testing::WithParamInterface<FailedLoad>
{
protected:
  void installCase()
  {
    if (GetParam().data_file != nullptr) {
      config_test::installDataFile(GetParam().data_file, path_, kBaseMtimeSeconds + 10);
    } else {
      ::unlink(path_.c_str());
    }
  }

  std::vector<ConsoleLine> expectedErrors() const
  {
    std::vector<ConsoleLine> lines;
    for (const auto & text : GetParam().lines_before_error) {
      lines.push_back(err(text));
    }
    lines.push_back(err(withPath(GetParam().error_line, path_)));
    return lines;
  }
};

TEST_P(ConfigLoadFailure, LoadWritesItsLinesAndChangesNothing)
{
  config_test::installDataFile("sensors_a.yaml", path_, kBaseMtimeSeconds);
  ASSERT_TRUE(diagnosis_.loadConfigFromFile(path_));
  capture_.take();
  installCase();

  EXPECT_FALSE(diagnosis_.loadConfigFromFile(path_));
  EXPECT_THAT(capture_.lines(), ElementsAreArray(expectedErrors()));
  expectTopicA(diagnosis_);
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), kBaseMtimeSeconds * kNanosPerSecond);
}

TEST_P(ConfigLoadFailure, FailedInitialLoadStillRecordsThePath)
{
  installCase();

  EXPECT_FALSE(diagnosis_.initializeFromConfig(path_));
  std::vector<ConsoleLine> expected = expectedErrors();
  expected.push_back(err("[ERROR] Failed to initialize from config file: " + path_));
  EXPECT_THAT(capture_.take(), ElementsAreArray(expected));
  EXPECT_EQ(Peer::configFilePath(diagnosis_), path_);
  EXPECT_FALSE(Peer::configLoaded(diagnosis_));
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), 0);
  EXPECT_THAT(registeredTopics(diagnosis_), IsEmpty());

  // Once the file is repaired a reload picks it up.
  config_test::installDataFile("sensors_a.yaml", path_, kBaseMtimeSeconds + 20);
  EXPECT_TRUE(diagnosis_.reloadConfig());
  expectTopicA(diagnosis_);
  EXPECT_TRUE(Peer::configLoaded(diagnosis_));
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), (kBaseMtimeSeconds + 20) * kNanosPerSecond);
}

TEST_P(ConfigLoadFailure, FailedReloadRollsBackWithItsLinesInOrder)
{
  initializeWithTopicA();
  installCase();

  EXPECT_FALSE(diagnosis_.reloadConfig());
  std::vector<ConsoleLine> expected{out("[INFO] Reloading config from: " + path_)};
  for (const auto & line : expectedErrors()) {
    expected.push_back(line);
  }
  expected.push_back(err(kRollbackLine));
  EXPECT_THAT(capture_.lines(), ElementsAreArray(expected));
  expectTopicA(diagnosis_);
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), kBaseMtimeSeconds * kNanosPerSecond);
}

INSTANTIATE_TEST_SUITE_P(
  Files, ConfigLoadFailure,
  ::testing::Values(
    FailedLoad{nullptr, {}, "[ERROR] YAML parsing error in config file '{path}': bad file: {path}"},
    FailedLoad{
      "syntax_error.yaml",
      {},
      "[ERROR] YAML parsing error in config file '{path}': "
      "yaml-cpp: error at line 3, column 1: end of sequence flow not found"},
    FailedLoad{
      "scalar_root.yaml",
      {},
      "[ERROR] YAML parsing error in config file '{path}': "
      "yaml-cpp: error at line 1, column 1: operator[] call on a scalar (key: \"sensors\")"},
    FailedLoad{
      "mapping_key.yaml",
      {},
      "[ERROR] YAML parsing error in config file '{path}': "
      "yaml-cpp: error at line 2, column 5: bad conversion"},
    FailedLoad{
      "missing_two_fields.yaml",
      {"[ERROR] Sensor '/scan_01' missing required field: low_ratio",
       "[ERROR] Sensor '/scan_01' missing required field: abnormal_duration_ms"},
      "[ERROR] Config validation failed for file: {path}"},
    FailedLoad{
      "shape_empty.yaml",
      {"[ERROR] Config file must contain 'sensors' map"},
      "[ERROR] Config validation failed for file: {path}"}),
  [](const ::testing::TestParamInfo<FailedLoad> & info) {
    if (info.param.data_file == nullptr) {
      return std::string("missing_file");
    }
    const std::string name = info.param.data_file;
    return name.substr(0, name.find('.'));
  });

// --- initializeFromConfig and reloadConfig -------------------------------------------------

TEST_F(ConfigLoading, InitializeRecordsThePathAndLoads)
{
  config_test::installDataFile("sensors_a.yaml", path_, kBaseMtimeSeconds);
  EXPECT_TRUE(diagnosis_.initializeFromConfig(path_));
  EXPECT_THAT(capture_.lines(), ElementsAre(out(loadedLine(path_))));
  EXPECT_EQ(Peer::configFilePath(diagnosis_), path_);
  expectTopicA(diagnosis_);
}

TEST_F(ConfigLoading, ReloadWithoutPathDoesNothingElse)
{
  ASSERT_TRUE(diagnosis_.Register("/registered", 10.0F, 0.5F, 500, 3));
  capture_.take();

  EXPECT_FALSE(diagnosis_.reloadConfig());
  EXPECT_THAT(capture_.lines(), ElementsAre(err("[ERROR] No config file path set")));
  EXPECT_THAT(registeredTopics(diagnosis_), UnorderedElementsAre("/registered"));
  EXPECT_FALSE(Peer::configLoaded(diagnosis_));
}

TEST_F(ConfigLoading, SuccessfulReloadReplacesThresholdsWithItsLinesInOrder)
{
  initializeWithTopicA();
  ASSERT_TRUE(diagnosis_.Register("/registered", 10.0F, 0.5F, 500, 3));
  config_test::installDataFile("sensors_b.yaml", path_, kBaseMtimeSeconds + 1);
  capture_.take();

  EXPECT_TRUE(diagnosis_.reloadConfig());
  EXPECT_THAT(
    capture_.lines(), ElementsAre(
                        out("[INFO] Reloading config from: " + path_), out(loadedLine(path_)),
                        out("[INFO] Config reloaded successfully")));
  EXPECT_THAT(registeredTopics(diagnosis_), UnorderedElementsAre("/topic_b"));
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), (kBaseMtimeSeconds + 1) * kNanosPerSecond);
}

TEST_F(ConfigLoading, ReloadOfTheSameFileKeepsStates)
{
  initializeWithTopicA();
  SensorState state;
  state.timestamps = {10, 20};
  state.last_receive_ms = 20;
  state.abnormal_start_ms = 5;
  state.recovery_count = 3;
  Peer::setState(diagnosis_, "/topic_a", state);

  ASSERT_TRUE(diagnosis_.reloadConfig());
  const SensorState after = Peer::states(diagnosis_).at("/topic_a");
  EXPECT_EQ(after.timestamps, state.timestamps);
  EXPECT_EQ(after.last_receive_ms, 20);
  EXPECT_EQ(after.abnormal_start_ms, 5);
  EXPECT_EQ(after.recovery_count, 3);
}

// --- Modification time ---------------------------------------------------------------------

TEST_F(ConfigLoading, ModifiedTimeIsWholeSecondsInNanoseconds)
{
  config_test::writeFile(path_, "sensors: {}\n");
  for (const int64_t seconds : {int64_t{0}, int64_t{1}, kBaseMtimeSeconds, int64_t{4102444800}}) {
    for (const int64_t micros : {int64_t{0}, int64_t{1}, int64_t{999999}}) {
      config_test::setMtime(path_, seconds, micros);
      EXPECT_EQ(diagnosis_.getConfigFileModifiedTime(path_), seconds * kNanosPerSecond)
        << seconds << " s + " << micros << " us";
    }
  }
  EXPECT_EQ(diagnosis_.getConfigFileModifiedTime(dir_.path("missing.yaml")), 0);
  EXPECT_EQ(diagnosis_.getConfigFileModifiedTime(""), 0);
}

// --- Mends ---------------------------------------------------------------------------------

// The file is a FIFO, so the test decides what happens while the loader is reading it.
class ConfigLoadingMidRead : public ConfigLoading
{
protected:
  // Installs `content` as the file, then runs `meanwhile` inside the next load, after the load
  // has taken the file's time and before it reads the file.
  template <typename Meanwhile>
  void installAndInterrupt(const std::string & content, int64_t mtime_seconds, Meanwhile meanwhile)
  {
    config_test::writeFile(path_, content);
    config_test::setMtime(path_, mtime_seconds);
    Peer::setBeforeConfigRead(diagnosis_, [meanwhile, done = false]() mutable {
      if (!done) {
        done = true;
        meanwhile();
      }
    });
  }
};

TEST_F(ConfigLoadingMidRead, TimeIsTakenBeforeReading)
{
  // An edit saved while the file is being read.
  installAndInterrupt(
    config_test::readFile(config_test::dataFile("sensors_a.yaml")), kBaseMtimeSeconds,
    [&] { config_test::setMtime(path_, kBaseMtimeSeconds + 100); });
  const bool loaded = diagnosis_.loadConfigFromFile(path_);

  ASSERT_TRUE(loaded);
  expectTopicA(diagnosis_);
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), kBaseMtimeSeconds * kNanosPerSecond);
  // So the watcher's change test still sees the edit.
  EXPECT_GT(diagnosis_.getConfigFileModifiedTime(path_), Peer::lastConfigMtime(diagnosis_));
}

class RegisterDuringFailedReload : public ConfigLoadingMidRead,
                                   public ::testing::WithParamInterface<const char *>
{
};

TEST_P(RegisterDuringFailedReload, KeepsTheRegistration)
{
  initializeWithTopicA();
  installAndInterrupt(
    config_test::readFile(config_test::dataFile(GetParam())), kBaseMtimeSeconds + 1, [&] {
      // The reload has saved its rollback copy by now.
      EXPECT_TRUE(diagnosis_.Register("/meanwhile", 10.0F, 0.5F, 500, 3));
    });
  const bool reloaded = diagnosis_.reloadConfig();

  EXPECT_FALSE(reloaded);
  EXPECT_EQ(capture_.count(err(kRollbackLine)), 1U);
  EXPECT_THAT(registeredTopics(diagnosis_), UnorderedElementsAre("/topic_a", "/meanwhile"));
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), kBaseMtimeSeconds * kNanosPerSecond);
}

INSTANTIATE_TEST_SUITE_P(
  Files, RegisterDuringFailedReload,
  ::testing::Values("missing_two_fields.yaml", "syntax_error.yaml", "scalar_root.yaml"),
  [](const ::testing::TestParamInfo<const char *> & info) {
    const std::string name = info.param;
    return name.substr(0, name.find('.'));
  });

}  // namespace
