// The configuration watcher: start and stop, the change test on modification times, retries
// of a bad file, and survival of an exception in its reload. Modification times are set with
// utimes, so no test waits for the clock to move; waits for the watcher have generous limits.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "config_test_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/temp_dir.hpp"

namespace
{

using config_test::eventually;
using config_test::kBaseMtimeSeconds;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using Peer = DiagnosisTestAccess;

const ConsoleLine kStarted = out("[INFO] Config watcher thread started");
const ConsoleLine kStopped = out("[INFO] Config watcher thread stopped");
const ConsoleLine kModified = out("[INFO] Config file modified, auto-reloading...");
const ConsoleLine kReloaded = out("[INFO] Config reloaded successfully");
const ConsoleLine kRollback =
  err("[ERROR] Config reload failed, rolling back to previous configuration");

// Long enough for the watcher to make at least two checks; used only to show that nothing
// happens, so a slow machine can make these checks weaker but never make them fail.
constexpr auto kQuietPeriod = std::chrono::milliseconds(2500);

std::vector<std::string> registeredTopics(Diagnosis & diagnosis)
{
  std::vector<std::string> names;
  for (const auto & entry : Peer::thresholds(diagnosis)) {
    names.push_back(entry.first);
  }
  return names;
}

class ConfigWatcher : public ::testing::Test
{
protected:
  // Thread counts are compared against a baseline: a sanitizer's runtime starts a helper thread
  // of its own at the first thread creation, so that happens here, before any baseline.
  void SetUp() override
  {
    std::thread([] {}).join();
  }

  void initializeWithTopicA()
  {
    config_test::installDataFile("sensors_a.yaml", path_, kBaseMtimeSeconds);
    ASSERT_TRUE(diagnosis_->initializeFromConfig(path_));
  }

  void startAndForgetLines()
  {
    diagnosis_->startConfigWatcher();
    capture_.take();
  }

  bool waitForLine(const ConsoleLine & line, std::size_t times = 1)
  {
    return eventually([&] { return capture_.count(line) >= times; });
  }

  std::vector<ConsoleLine> reloadLines() const
  {
    return {
      out("[INFO] Reloading config from: " + path_),
      out("[INFO] Successfully loaded sensor config from: " + path_), kReloaded};
  }

  TempDir dir_;
  const std::string path_ = dir_.path("sensor_thresholds.yaml");
  // Declared before the object, so lines of its destruction are still captured.
  ConsoleCapture capture_;
  std::unique_ptr<Diagnosis> diagnosis_ = std::make_unique<Diagnosis>();
};

// --- Start and stop ------------------------------------------------------------------------

TEST_F(ConfigWatcher, StartTwiceStartsOneThreadWithOneLine)
{
  const std::size_t before = config_test::threadCount();
  diagnosis_->startConfigWatcher();
  diagnosis_->startConfigWatcher();
  EXPECT_EQ(config_test::threadCount(), before + 1);
  EXPECT_THAT(capture_.lines(), ElementsAre(kStarted));

  diagnosis_->stopConfigWatcher();
  diagnosis_->stopConfigWatcher();
  EXPECT_THAT(capture_.lines(), ElementsAre(kStarted, kStopped));
  EXPECT_FALSE(Peer::watcherThreadJoinable(*diagnosis_));
  EXPECT_TRUE(eventually([&] { return config_test::threadCount() == before; }));
}

TEST_F(ConfigWatcher, StopWithoutStartWritesNothing)
{
  diagnosis_->stopConfigWatcher();
  EXPECT_THAT(capture_.lines(), IsEmpty());
  EXPECT_FALSE(Peer::watcherRunning(*diagnosis_));
}

TEST_F(ConfigWatcher, StartStopStartLeavesOneThread)
{
  const std::size_t before = config_test::threadCount();
  diagnosis_->startConfigWatcher();
  diagnosis_->stopConfigWatcher();
  diagnosis_->startConfigWatcher();
  EXPECT_THAT(capture_.lines(), ElementsAre(kStarted, kStopped, kStarted));
  EXPECT_TRUE(Peer::watcherRunning(*diagnosis_));
  EXPECT_TRUE(Peer::watcherThreadJoinable(*diagnosis_));
  EXPECT_TRUE(eventually([&] { return config_test::threadCount() == before + 1; }));
}

TEST_F(ConfigWatcher, ConcurrentStartsStartOneThreadAndConcurrentStopsJoinOnce)
{
  const std::size_t before = config_test::threadCount();
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(round);
    const auto race = [&](void (Diagnosis::*operation)()) {
      std::atomic<bool> go{false};
      std::vector<std::thread> callers;
      for (int i = 0; i < 8; ++i) {
        callers.emplace_back([&] {
          while (!go.load()) {
            std::this_thread::yield();
          }
          ((*diagnosis_).*operation)();
        });
      }
      go.store(true);
      for (auto & caller : callers) {
        caller.join();
      }
    };

    race(&Diagnosis::startConfigWatcher);
    EXPECT_THAT(capture_.lines(), ElementsAre(kStarted));
    // Joined callers can linger in /proc for a moment, so wait for the count to settle.
    EXPECT_TRUE(eventually([&] { return config_test::threadCount() == before + 1; }));

    race(&Diagnosis::stopConfigWatcher);
    EXPECT_THAT(capture_.take(), ElementsAre(kStarted, kStopped));
    EXPECT_FALSE(Peer::watcherThreadJoinable(*diagnosis_));
    EXPECT_TRUE(eventually([&] { return config_test::threadCount() == before; }));
  }
}

TEST_F(ConfigWatcher, DestructionStopsAndJoinsIt)
{
  const std::size_t before = config_test::threadCount();
  initializeWithTopicA();
  diagnosis_->startConfigWatcher();
  diagnosis_.reset();
  EXPECT_EQ(capture_.count(kStopped), 1U);
  EXPECT_TRUE(eventually([&] { return config_test::threadCount() == before; }));
}

// --- Change test ---------------------------------------------------------------------------

TEST_F(ConfigWatcher, ValidEditIsLoadedOnceWithTheModifiedLineFirst)
{
  initializeWithTopicA();
  startAndForgetLines();

  config_test::installDataFile("sensors_b.yaml", path_, kBaseMtimeSeconds + 10);
  ASSERT_TRUE(waitForLine(kReloaded));
  std::vector<ConsoleLine> expected{kModified};
  for (const auto & line : reloadLines()) {
    expected.push_back(line);
  }
  EXPECT_EQ(capture_.lines(), expected);
  EXPECT_THAT(registeredTopics(*diagnosis_), UnorderedElementsAre("/topic_b"));
  EXPECT_EQ(Peer::lastConfigMtime(*diagnosis_), (kBaseMtimeSeconds + 10) * 1000000000LL);

  // Later checks find the file unchanged.
  std::this_thread::sleep_for(kQuietPeriod);
  EXPECT_EQ(capture_.lines(), expected);
}

TEST_F(ConfigWatcher, InvalidEditIsRetriedUntilRepaired)
{
  initializeWithTopicA();
  startAndForgetLines();

  config_test::installDataFile("missing_two_fields.yaml", path_, kBaseMtimeSeconds + 10);
  ASSERT_TRUE(waitForLine(kRollback, 2));
  const std::vector<ConsoleLine> attempt{
    kModified,
    out("[INFO] Reloading config from: " + path_),
    err("[ERROR] Sensor '/scan_01' missing required field: low_ratio"),
    err("[ERROR] Sensor '/scan_01' missing required field: abnormal_duration_ms"),
    err("[ERROR] Config validation failed for file: " + path_),
    kRollback};
  const auto lines = capture_.lines();
  ASSERT_GE(lines.size(), 2 * attempt.size());
  EXPECT_EQ(std::vector<ConsoleLine>(lines.begin(), lines.begin() + 6), attempt);
  EXPECT_EQ(std::vector<ConsoleLine>(lines.begin() + 6, lines.begin() + 12), attempt);
  EXPECT_THAT(registeredTopics(*diagnosis_), UnorderedElementsAre("/topic_a"));
  EXPECT_EQ(Peer::lastConfigMtime(*diagnosis_), kBaseMtimeSeconds * 1000000000LL);

  config_test::installDataFile("sensors_b.yaml", path_, kBaseMtimeSeconds + 20);
  ASSERT_TRUE(waitForLine(kReloaded));
  EXPECT_THAT(registeredTopics(*diagnosis_), UnorderedElementsAre("/topic_b"));

  // The attempts stop with the successful one.
  const std::size_t modified_lines = capture_.count(kModified);
  std::this_thread::sleep_for(kQuietPeriod);
  EXPECT_EQ(capture_.count(kModified), modified_lines);
  EXPECT_EQ(capture_.count(kReloaded), 1U);
}

TEST_F(ConfigWatcher, OlderCopyOrMissingFileIsNotReloaded)
{
  config_test::installDataFile("sensors_a.yaml", path_, kBaseMtimeSeconds + 10);
  ASSERT_TRUE(diagnosis_->initializeFromConfig(path_));
  startAndForgetLines();

  config_test::installDataFile("sensors_b.yaml", path_, kBaseMtimeSeconds);
  std::this_thread::sleep_for(kQuietPeriod);
  ::unlink(path_.c_str());
  std::this_thread::sleep_for(kQuietPeriod);

  EXPECT_THAT(capture_.lines(), IsEmpty());
  EXPECT_THAT(registeredTopics(*diagnosis_), UnorderedElementsAre("/topic_a"));
}

TEST_F(ConfigWatcher, FileReplacedByAFifoIsIgnoredAndStopStaysPrompt)
{
  initializeWithTopicA();
  startAndForgetLines();
  ::unlink(path_.c_str());
  ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);

  // A direct load is refused at once instead of waiting for a writer that never comes.
  const auto load_started = std::chrono::steady_clock::now();
  EXPECT_FALSE(diagnosis_->loadConfigFromFile(path_));
  EXPECT_LT(std::chrono::steady_clock::now() - load_started, std::chrono::seconds(5));
  EXPECT_THAT(
    capture_.take(),
    ElementsAre(
      err("[ERROR] YAML parsing error in config file '" + path_ + "': bad file: " + path_)));

  // The watcher treats the FIFO as a missing file, and its stop does not hang.
  std::this_thread::sleep_for(kQuietPeriod);
  const auto stop_started = std::chrono::steady_clock::now();
  diagnosis_->stopConfigWatcher();
  EXPECT_LT(std::chrono::steady_clock::now() - stop_started, std::chrono::seconds(5));
  EXPECT_THAT(capture_.lines(), ElementsAre(kStopped));
  EXPECT_THAT(registeredTopics(*diagnosis_), UnorderedElementsAre("/topic_a"));
}

TEST_F(ConfigWatcher, WaitsForAPathThenLoadsTheRepairedFile)
{
  startAndForgetLines();
  std::this_thread::sleep_for(kQuietPeriod);
  EXPECT_THAT(capture_.lines(), IsEmpty());

  // No load succeeded yet, so any existing file counts as newer; a bad one is retried.
  config_test::installDataFile("missing_two_fields.yaml", path_, kBaseMtimeSeconds);
  EXPECT_FALSE(diagnosis_->initializeFromConfig(path_));
  ASSERT_TRUE(waitForLine(kRollback));

  config_test::installDataFile("sensors_a.yaml", path_, kBaseMtimeSeconds + 1);
  ASSERT_TRUE(waitForLine(kReloaded));
  EXPECT_THAT(registeredTopics(*diagnosis_), UnorderedElementsAre("/topic_a"));
}

TEST_F(ConfigWatcher, ReloadRequestIsServedAtOnceWithoutTheModifiedLine)
{
  initializeWithTopicA();
  startAndForgetLines();

  Peer::requestReload(*diagnosis_);
  ASSERT_TRUE(waitForLine(kReloaded));
  std::this_thread::sleep_for(kQuietPeriod);
  EXPECT_EQ(capture_.lines(), reloadLines());
}

// --- Failures inside the watcher's reload --------------------------------------------------

TEST_F(ConfigWatcher, ExceptionInReloadIsLoggedAndTheWatcherGoesOn)
{
  std::atomic<int> calls{0};
  Peer::setBeforeWatcherReload(*diagnosis_, [&calls] {
    switch (++calls) {
      case 1:
        throw std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur));
      case 2:
        throw std::bad_alloc();
      case 3:
        throw 42;
      default:
        return;
    }
  });
  initializeWithTopicA();
  startAndForgetLines();

  for (int request = 1; request <= 3; ++request) {
    Peer::requestReload(*diagnosis_);
    ASSERT_TRUE(eventually([&] { return capture_.errLines().size() >= std::size_t(request); }));
  }
  const auto errors = capture_.errLines();
  ASSERT_EQ(errors.size(), 3U);
  EXPECT_THAT(errors[0], ::testing::StartsWith("[ERROR] Config watcher reload failed: "));
  EXPECT_THAT(errors[0], ::testing::HasSubstr("deadlock"));
  EXPECT_EQ(errors[1], "[ERROR] Config watcher reload failed: std::bad_alloc");
  EXPECT_EQ(errors[2], "[ERROR] Config watcher reload failed: unknown exception");

  // Still watching: an edit is picked up.
  config_test::installDataFile("sensors_b.yaml", path_, kBaseMtimeSeconds + 10);
  ASSERT_TRUE(waitForLine(kReloaded));
  EXPECT_THAT(capture_.lines(), Contains(kModified));
  EXPECT_THAT(registeredTopics(*diagnosis_), UnorderedElementsAre("/topic_b"));
  EXPECT_TRUE(Peer::watcherRunning(*diagnosis_));

  diagnosis_->stopConfigWatcher();
  EXPECT_EQ(capture_.count(kStopped), 1U);
}

}  // namespace
