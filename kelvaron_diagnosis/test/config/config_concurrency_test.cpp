// Loads racing each other and the registry. These cases are meant to run under
// ThreadSanitizer as well (the command is in this folder's CMakeLists.txt); the assertions check
// what the serialised loads guarantee whatever the interleaving.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "config_test_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/temp_dir.hpp"

namespace
{

using config_test::kBaseMtimeSeconds;
using ::testing::UnorderedElementsAre;
using Peer = DiagnosisTestAccess;

// Unregistered reports in the stress case would otherwise flood the terminal through the
// process logger, which reads its settings once, at first use.
const bool kLoggerQuiet = [] { return ::setenv("SPDLOG_STDOUT", "false", 1) == 0; }();

// Version k of the file: one sensor whose rate is k, so the version in force can be read back.
// Every third version is out of range and fails validation.
std::string versionedFile(int version)
{
  const bool valid = version % 3 != 0;
  return "sensors:\n"
         "  /versioned:\n"
         "    normal_hz: " +
         std::to_string(version) +
         "\n"
         "    low_ratio: " +
         std::string(valid ? "0.5" : "2") +
         "\n"
         "    cutoff_timeout_ms: 500\n"
         "    cutoff_recovery_threshold: 3\n"
         "    abnormal_duration_ms: 800\n";
}

float versionInForce(Diagnosis & diagnosis)
{
  const auto thresholds = Peer::thresholds(diagnosis);
  const auto found = thresholds.find("/versioned");
  return found == thresholds.end() ? -1.0F : found->second.normal_hz;
}

class ConfigConcurrency : public ::testing::Test
{
protected:
  TempDir dir_;
  const std::string path_ = dir_.path("sensor_thresholds.yaml");
  ConsoleCapture capture_;
  Diagnosis diagnosis_;
};

TEST_F(ConfigConcurrency, HostAndWatcherReloadsNeverGoBackToOlderThresholds)
{
  ASSERT_TRUE(kLoggerQuiet);
  constexpr int kLastVersion = 61;
  static_assert(kLastVersion % 3 != 0, "the last version must be valid");

  config_test::replaceFile(path_, versionedFile(1), kBaseMtimeSeconds + 1);
  ASSERT_TRUE(diagnosis_.initializeFromConfig(path_));
  diagnosis_.startConfigWatcher();

  std::atomic<bool> host_done{false};
  // The watcher reloads as often as it can, besides its own change test.
  std::thread requester([&] {
    while (!host_done.load()) {
      Peer::requestReload(diagnosis_);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  // Loads are serialised and each reads a version at least as new as the one before, so the
  // version in force only ever grows.
  std::atomic<bool> went_back{false};
  std::thread sampler([&] {
    float highest = 0.0F;
    while (!host_done.load()) {
      const float seen = versionInForce(diagnosis_);
      if (seen < highest) {
        went_back.store(true);
      }
      highest = std::max(highest, seen);
    }
  });

  for (int version = 2; version <= kLastVersion; ++version) {
    config_test::replaceFile(path_, versionedFile(version), kBaseMtimeSeconds + version);
    EXPECT_EQ(diagnosis_.reloadConfig(), version % 3 != 0) << version;
  }
  // Whatever the watcher did meanwhile, the host's last load is what is in force now.
  EXPECT_FLOAT_EQ(versionInForce(diagnosis_), static_cast<float>(kLastVersion));

  host_done.store(true);
  requester.join();
  sampler.join();
  diagnosis_.stopConfigWatcher();

  EXPECT_FALSE(went_back.load());
  EXPECT_FLOAT_EQ(versionInForce(diagnosis_), static_cast<float>(kLastVersion));
  EXPECT_EQ(Peer::lastConfigMtime(diagnosis_), (kBaseMtimeSeconds + kLastVersion) * 1000000000LL);
}

TEST_F(ConfigConcurrency, RegistryReadersRegistrationsAndLoadsStress)
{
  ASSERT_TRUE(kLoggerQuiet);
  constexpr int kRounds = 150;

  config_test::installDataFile("valid_example.yaml", path_, kBaseMtimeSeconds);
  ASSERT_TRUE(diagnosis_.initializeFromConfig(path_));
  // Lets reports record without creating ROS entities.
  Peer::markInitialized(diagnosis_);
  diagnosis_.startConfigWatcher();

  std::atomic<bool> stop{false};
  std::atomic<bool> inconsistent{false};
  std::vector<std::thread> threads;

  for (int reader = 0; reader < 2; ++reader) {
    threads.emplace_back([&] {
      while (!stop.load()) {
        diagnosis_.TimeoutCheck();
        diagnosis_.FPSCheck();
        if (!Peer::everyThresholdHasState(diagnosis_)) {
          inconsistent.store(true);
        }
      }
    });
  }
  threads.emplace_back([&] {
    std_msgs::msg::Header header;
    header.frame_id = "stress";
    while (!stop.load()) {
      diagnosis_.SensorReportWithHeader("/scan_01", header);
      diagnosis_.SensorReportWithoutHeader("/registered_0");
    }
  });
  for (int registrar = 0; registrar < 2; ++registrar) {
    threads.emplace_back([&, registrar] {
      for (int round = 0; !stop.load(); round = (round + 1) % 8) {
        diagnosis_.Register(
          "/registered_" + std::to_string(round), 10.0F, 0.5F, 500 + registrar, 3);
      }
    });
  }
  threads.emplace_back([&] {
    while (!stop.load()) {
      Peer::requestReload(diagnosis_);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });

  // Loaders: each round edits the file (valid or not) and loads it through every entry point.
  std::vector<std::thread> loaders;
  for (int loader = 0; loader < 2; ++loader) {
    loaders.emplace_back([&, loader] {
      for (int round = 1; round <= kRounds; ++round) {
        if (loader == 0) {
          const int version = 2 * round;
          config_test::replaceFile(path_, versionedFile(version), kBaseMtimeSeconds + version);
          diagnosis_.reloadConfig();
        } else if (round % 2 == 0) {
          diagnosis_.initializeFromConfig(path_);
        } else {
          diagnosis_.loadConfigFromFile(path_);
        }
      }
    });
  }
  for (auto & loader : loaders) {
    loader.join();
  }
  stop.store(true);
  for (auto & thread : threads) {
    thread.join();
  }
  diagnosis_.stopConfigWatcher();

  EXPECT_FALSE(inconsistent.load());
  EXPECT_TRUE(Peer::everyThresholdHasState(diagnosis_));

  // Quiet again: a valid file loads and is exactly what is registered.
  config_test::replaceFile(path_, versionedFile(1000 + 1), kBaseMtimeSeconds + 5000);
  capture_.take();
  EXPECT_TRUE(diagnosis_.reloadConfig());
  std::vector<std::string> topics;
  for (const auto & entry : Peer::thresholds(diagnosis_)) {
    topics.push_back(entry.first);
  }
  EXPECT_THAT(topics, UnorderedElementsAre("/versioned"));
  EXPECT_FLOAT_EQ(versionInForce(diagnosis_), 1001.0F);
}

}  // namespace
