// Every operation a host, the timer and the watcher can run at once, on one object. Built for
// ThreadSanitizer; it also checks that nothing accepted is lost and that the last writer of
// the thresholds wins.
#include <gtest/gtest.h>

#include <sys/time.h>

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/temp_dir.hpp"

namespace
{

using namespace std::chrono_literals;

// Every report happens at this one wall-clock millisecond, so no window entry ever ages out:
// the window of a topic must then hold exactly the reports accepted for it.
constexpr int64_t kFrozenNowMs = 1'700'000'000'000;

const std::vector<std::string> kReportedTopics = {"/scan_01", "/scan_02", "/imu/data"};
const std::vector<std::string> kRegisteredTopics = {"/registered_a", "/registered_b"};

std::string thresholdFile(int cutoff_ms)
{
  std::string text = "sensors:\n";
  for (const std::string & topic : kReportedTopics) {
    text += "  " + topic + ":\n    normal_hz: 10\n    low_ratio: 0.5\n    cutoff_timeout_ms: " +
            std::to_string(cutoff_ms) +
            "\n    cutoff_recovery_threshold: 2\n    abnormal_duration_ms: 500\n";
  }
  return text;
}

void setModificationTime(const std::string & path, time_t seconds)
{
  const timeval times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(utimes(path.c_str(), times), 0);
}

TEST(ConcurrencyStress, EverythingAtOnceLosesNothing)
{
  TempDir prefix;
  prefix.write("share/ament_index/resource_index/packages/kelvaron_diagnosis", "");
  const std::string config =
    prefix.write("share/kelvaron_diagnosis/config/sensor_thresholds.yaml", thresholdFile(500));
  setenv("AMENT_PREFIX_PATH", prefix.path().c_str(), 1);

  // Console output of thousands of reloads would only slow the run down.
  std::optional<ConsoleCapture> quiet(std::in_place);
  {
    Diagnosis diagnosis;
    DiagnosisTestAccess::setWallClock(diagnosis, [] { return kFrozenNowMs; });
    std::atomic<bool> stop{false};
    std::map<std::string, std::atomic<int64_t>> accepted;
    for (const std::string & topic : kReportedTopics) {
      accepted[topic] = 0;
    }
    std::vector<std::thread> threads;

    // Host threads whose first reports race the automatic initialisation.
    for (const std::string & topic : kReportedTopics) {
      threads.emplace_back([&, topic] {
        std_msgs::msg::Header header;
        header.frame_id = topic;
        while (!stop) {
          accepted[topic] += diagnosis.SensorReportWithHeader(topic, header) ? 1 : 0;
          accepted[topic] += diagnosis.SensorReportWithoutHeader(topic) ? 1 : 0;
        }
      });
    }
    threads.emplace_back([&] {
      for (int kind = 0; !stop; kind = (kind + 1) % 8) {
        diagnosis.DataStatusReport(static_cast<AbnormalEventType>(kind), kind % 2);
      }
    });
    threads.emplace_back([&] {
      for (int i = 0; !stop; ++i) {
        diagnosis.Register(kRegisteredTopics[i % 2], 5.0F + i % 7, 0.5F, 200, 1);
      }
    });
    threads.emplace_back([&] {
      while (!stop) {
        diagnosis.reloadConfig();
        std::this_thread::sleep_for(2ms);
      }
    });
    threads.emplace_back([&] {
      while (!stop) {
        diagnosis.stopTimer();
        diagnosis.startTimer();
        std::this_thread::sleep_for(5ms);
      }
    });
    // Edits of the file, valid and invalid, each with a newer modification time. They wait for
    // the automatic initialisation: a failed one is final, and it could read a half-written edit.
    diagnosis.startConfigWatcher();
    threads.emplace_back([&] {
      while (!stop && !DiagnosisTestAccess::initialized(diagnosis)) {
        std::this_thread::sleep_for(1ms);
      }
      time_t mtime = 1'600'000'000;
      for (int edit = 0; !stop; ++edit) {
        const std::string text = edit % 3 == 2 ? "sensors: [broken" : thresholdFile(400 + edit);
        prefix.write("share/kelvaron_diagnosis/config/sensor_thresholds.yaml", text);
        setModificationTime(config, ++mtime);
        std::this_thread::sleep_for(300ms);
      }
    });

    std::this_thread::sleep_for(4s);
    stop = true;
    for (auto & thread : threads) {
      thread.join();
    }
    diagnosis.stopConfigWatcher();
    diagnosis.stopTimer();
    // Released before the checks, so that a failure shows its reason.
    quiet.reset();
    ASSERT_TRUE(DiagnosisTestAccess::initialized(diagnosis));

    // Nothing accepted is lost: every accepted report of a topic is in its window.
    const auto states = DiagnosisTestAccess::states(diagnosis);
    for (const std::string & topic : kReportedTopics) {
      EXPECT_GT(accepted[topic].load(), 0) << topic;
      EXPECT_EQ(static_cast<int64_t>(states.at(topic).timestamps.size()), accepted[topic].load())
        << topic;
    }

    // The last writer of the thresholds wins: a final load, then a final registration.
    prefix.write("share/kelvaron_diagnosis/config/sensor_thresholds.yaml", thresholdFile(777));
    EXPECT_TRUE(diagnosis.reloadConfig());
    auto thresholds = DiagnosisTestAccess::thresholds(diagnosis);
    ASSERT_EQ(thresholds.size(), kReportedTopics.size());
    for (const std::string & topic : kReportedTopics) {
      EXPECT_EQ(thresholds.at(topic).cutoff_timeout_ms, 777);
    }
    EXPECT_TRUE(diagnosis.Register("/registered_a", 3.0F, 0.25F, 123, 4));
    thresholds = DiagnosisTestAccess::thresholds(diagnosis);
    EXPECT_EQ(thresholds.size(), kReportedTopics.size() + 1);
    EXPECT_EQ(thresholds.at("/registered_a").cutoff_timeout_ms, 123);
    // Destruction follows with the reports stopped.
  }
}

}  // namespace
