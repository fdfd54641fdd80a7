// Frame reports, data-status reports and initialisation through the real ament index.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/event_collector.hpp"
#include "support/scanner_thresholds.hpp"
#include "support/temp_dir.hpp"

namespace
{

using brimtale_protocol::msg::DiagnosticEvent;
using namespace std::chrono_literals;

constexpr const char * kFallbackPath = KELVARON_FALLBACK_CONFIG_PATH;

const std::string kTwoScanners = "sensors:\n" + scannerEntry("/scan_01") + scannerEntry("/scan_02");

size_t countOf(const std::string & text, const std::string & needle)
{
  size_t n = 0;
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++n;
  }
  return n;
}

// An ament prefix of the test's own, holding the package marker and its default file, so the
// look-up goes through the real ament index without depending on an installed package.
class AmentPrefix
{
public:
  explicit AmentPrefix(const std::string * default_file = &kTwoScanners)
  {
    dir_.write("share/ament_index/resource_index/packages/kelvaron_diagnosis", "");
    if (default_file != nullptr) {
      config_path_ =
        dir_.write("share/kelvaron_diagnosis/config/sensor_thresholds.yaml", *default_file);
    } else {
      config_path_ =
        (dir_.path() / "share/kelvaron_diagnosis/config/sensor_thresholds.yaml").string();
    }
    previous_ = getenv("AMENT_PREFIX_PATH") ? getenv("AMENT_PREFIX_PATH") : "";
    setenv("AMENT_PREFIX_PATH", dir_.path().c_str(), 1);
  }
  ~AmentPrefix() { setenv("AMENT_PREFIX_PATH", previous_.c_str(), 1); }

  const std::string & configPath() const { return config_path_; }

private:
  TempDir dir_;
  std::string config_path_;
  std::string previous_;
};

// --- Automatic initialisation -------------------------------------------------------------------

TEST(AutoInitialize, FirstReportStartsTheTimerThenReportsTheSharePath)
{
  AmentPrefix prefix;
  Diagnosis diagnosis;
  ConsoleCapture console;
  const bool recorded = diagnosis.SensorReportWithoutHeader("/scan_01");
  const std::string log = console.out();
  EXPECT_TRUE(recorded);
  const auto started = log.find("[INFO] Timer thread started\n");
  const auto initialized =
    log.find("[INFO] Diagnosis system auto-initialized with config: " + prefix.configPath() + "\n");
  ASSERT_NE(started, std::string::npos) << log;
  ASSERT_NE(initialized, std::string::npos) << log;
  EXPECT_LT(started, initialized);
  EXPECT_TRUE(DiagnosisTestAccess::initialized(diagnosis));
  EXPECT_EQ(DiagnosisTestAccess::states(diagnosis).at("/scan_01").timestamps.size(), 1U);
}

TEST(AutoInitialize, WithoutTheIndexEntryUsesTheFallbackPath)
{
  const std::string previous = getenv("AMENT_PREFIX_PATH") ? getenv("AMENT_PREFIX_PATH") : "";
  setenv("AMENT_PREFIX_PATH", "", 1);
  Diagnosis diagnosis;
  ConsoleCapture console;
  const bool initialized = diagnosis.autoInitialize();
  const std::string log = console.out();
  setenv("AMENT_PREFIX_PATH", previous.c_str(), 1);

  EXPECT_FALSE(initialized);
  // Environment lines of a logger made by this very call may come first.
  const auto error = log.find("[ERROR] Failed to get package share directory: ");
  ASSERT_NE(error, std::string::npos) << log;
  EXPECT_EQ(log.find("[INFO]"), log.find("[INFO] Timer thread started")) << log;
  EXPECT_LT(error, log.find("Timer thread started"));
  EXPECT_NE(
    log.find(
      std::string("[ERROR] Failed to auto-initialize diagnosis system with config: ") +
      kFallbackPath + "\n"),
    std::string::npos)
    << log;
  EXPECT_EQ(DiagnosisTestAccess::defaultConfigPath(diagnosis), kFallbackPath);
  // The release the library runs on names the path: a sourced ROS 2 says which; without one
  // (the stand-in) it is Humble's.
  const char * distro = getenv("ROS_DISTRO");
  const std::string release = distro != nullptr && *distro != '\0' ? distro : "humble";
  EXPECT_EQ(std::string(kFallbackPath).rfind("/opt/ros/" + release + "/share/", 0), 0U)
    << kFallbackPath;
}

TEST(AutoInitialize, MissingDefaultFileStartsTheTimerAndNeverRetries)
{
  AmentPrefix prefix(nullptr);
  Diagnosis diagnosis;
  ConsoleCapture console;
  const bool first = diagnosis.SensorReportWithHeader("/scan_01", std_msgs::msg::Header());
  const bool second = diagnosis.SensorReportWithoutHeader("/scan_01");
  const bool status = diagnosis.DataStatusReport(FRONT_2D_LIDAR_STATUS, 1);
  const std::string log = console.out();
  const std::string errors = console.err();

  EXPECT_FALSE(first);
  EXPECT_FALSE(second);
  EXPECT_FALSE(status);
  EXPECT_TRUE(DiagnosisTestAccess::timerRunning(diagnosis));
  EXPECT_EQ(countOf(log, "[INFO] Timer thread started"), 1U);
  EXPECT_EQ(
    countOf(
      log,
      "[ERROR] Failed to auto-initialize diagnosis system with config: " + prefix.configPath()),
    1U);
  EXPECT_EQ(countOf(log, "[ERROR] Failed to auto-initialize diagnosis system\n"), 3U) << log;
  EXPECT_EQ(countOf(errors, "[ERROR] Failed to initialize from config file: "), 1U)
    << "the load is attempted once";
}

TEST(AutoInitialize, SimultaneousFirstReportsInitialiseExactlyOnce)
{
  AmentPrefix prefix;
  Diagnosis diagnosis;
  ConsoleCapture console;
  std::atomic<int> accepted{0};
  std::vector<std::thread> hosts;
  for (int i = 0; i < 8; ++i) {
    hosts.emplace_back([&] { accepted += diagnosis.SensorReportWithoutHeader("/scan_02"); });
  }
  for (auto & host : hosts) {
    host.join();
  }
  const std::string log = console.out();
  EXPECT_EQ(accepted.load(), 8);
  EXPECT_EQ(countOf(log, "Timer thread started"), 1U);
  EXPECT_EQ(countOf(log, "[INFO] Successfully loaded sensor config from: "), 1U);
  EXPECT_EQ(countOf(log, "Diagnosis system auto-initialized with config: "), 1U);
  EXPECT_EQ(DiagnosisTestAccess::states(diagnosis).at("/scan_02").timestamps.size(), 8U);
}

TEST(Initialize, HostInitialisationNeedsItsOwnTimerStart)
{
  AmentPrefix prefix;
  TempDir dir;
  Diagnosis diagnosis;
  EventCollector collector;
  ASSERT_TRUE(diagnosis.initialize(dir.write("mine.yaml", kTwoScanners)));
  EXPECT_TRUE(diagnosis.SensorReportWithoutHeader("/scan_01"));
  EXPECT_FALSE(DiagnosisTestAccess::timerRunning(diagnosis));
  const auto events = collector.drain(700ms);
  for (const auto & received : events) {
    EXPECT_NE(received.topic, EventCollector::kSensorProxyTopic) << "no health events yet";
  }

  const rclcpp::Node * node = DiagnosisTestAccess::sensorProxyNode(diagnosis);
  std::string log;
  {
    ConsoleCapture console;
    EXPECT_TRUE(diagnosis.initialize(dir.path().string() + "/absent.yaml"));
    log = console.out();
  }
  EXPECT_NE(log.find("[WARN] Diagnosis already initialized\n"), std::string::npos) << log;
  EXPECT_EQ(DiagnosisTestAccess::sensorProxyNode(diagnosis), node) << "no new node";

  // autoInitialize after a host initialisation: warns, starts the timer, names the default file.
  {
    ConsoleCapture console;
    EXPECT_TRUE(diagnosis.autoInitialize());
    log = console.out();
  }
  const auto warn = log.find("[WARN] Diagnosis already initialized\n");
  const auto started = log.find("[INFO] Timer thread started\n");
  const auto done =
    log.find("[INFO] Diagnosis system auto-initialized with config: " + prefix.configPath() + "\n");
  ASSERT_NE(warn, std::string::npos) << log;
  ASSERT_NE(started, std::string::npos) << log;
  ASSERT_NE(done, std::string::npos) << log;
  EXPECT_LT(warn, started);
  EXPECT_LT(started, done);
  EXPECT_TRUE(collector.waitForEvent(
    EventCollector::kSensorProxyTopic, [](const auto & event) { return event.event_id == 8001; }));
}

TEST(Initialize, FailedInitialisationCanBeRepairedByTheHost)
{
  TempDir dir;
  Diagnosis diagnosis;
  {
    ConsoleCapture quiet;
    EXPECT_FALSE(diagnosis.initialize(dir.path().string() + "/absent.yaml"));
  }
  EXPECT_TRUE(DiagnosisTestAccess::hasChannels(diagnosis));
  EXPECT_TRUE(diagnosis.initialize(dir.write("fixed.yaml", kTwoScanners)));
  EXPECT_TRUE(DiagnosisTestAccess::initialized(diagnosis));
}

// --- Frame reports ------------------------------------------------------------------------------

class FrameReportTest : public ::testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(diagnosis_.initialize(dir_.write("t.yaml", kTwoScanners))); }

  TempDir dir_;
  Diagnosis diagnosis_;
};

TEST_F(FrameReportTest, RegisteredTopicAppendsTheArrivalAndKeepsTheHeader)
{
  DiagnosisTestAccess::setWallClock(diagnosis_, [] { return int64_t{1'700'000'000'123}; });
  std_msgs::msg::Header header;
  header.frame_id = "laser";
  header.stamp.sec = 0;  // a zero stamp is accepted unchanged
  EXPECT_TRUE(diagnosis_.SensorReportWithHeader("/scan_01", header));
  EXPECT_TRUE(diagnosis_.SensorReportWithHeader("/scan_01", header));
  const SensorState state = DiagnosisTestAccess::states(diagnosis_).at("/scan_01");
  EXPECT_EQ(state.timestamps, (std::deque<int64_t>{1'700'000'000'123, 1'700'000'000'123}));
  EXPECT_EQ(state.last_receive_ms, 1'700'000'000'123);
  EXPECT_EQ(state.last_header, header);
}

TEST_F(FrameReportTest, ReportWithoutHeaderStampsNowAndClearsTheFrameId)
{
  std_msgs::msg::Header header;
  header.frame_id = "laser";
  ASSERT_TRUE(diagnosis_.SensorReportWithHeader("/scan_01", header));
  const auto before = std::chrono::system_clock::now();
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("/scan_01"));
  const auto after = std::chrono::system_clock::now();
  const SensorState state = DiagnosisTestAccess::states(diagnosis_).at("/scan_01");
  EXPECT_EQ(state.last_header.frame_id, "");
  const auto stamp = std::chrono::system_clock::time_point(
    std::chrono::seconds(state.last_header.stamp.sec) +
    std::chrono::nanoseconds(state.last_header.stamp.nanosec));
  EXPECT_GE(stamp, before - 1s);
  EXPECT_LE(stamp, after + 1s);
}

TEST_F(FrameReportTest, UnregisteredTopicWarnsKeepsTheHeaderAndStaysUnregistered)
{
  std_msgs::msg::Header header;
  header.frame_id = "sonar";
  ConsoleCapture console;
  EXPECT_FALSE(diagnosis_.SensorReportWithHeader("/scan_09", header));
  EXPECT_FALSE(diagnosis_.SensorReportWithHeader("/scan_09", header));
  const std::string log = console.out();
  EXPECT_EQ(countOf(log, "[WARN] Sensor topic not registered: /scan_09\n"), 2U) << log;
  const auto states = DiagnosisTestAccess::states(diagnosis_);
  EXPECT_EQ(states.at("/scan_09").last_header.frame_id, "sonar");
  EXPECT_TRUE(states.at("/scan_09").timestamps.empty());
  EXPECT_EQ(states.at("/scan_09").last_receive_ms, 0);
  EXPECT_EQ(DiagnosisTestAccess::thresholds(diagnosis_).count("/scan_09"), 0U);
}

// Reports remember where a topic's entries live; changes of the thresholds must still count.
TEST_F(FrameReportTest, ReloadThatDropsAReportedTopicUnregistersIt)
{
  DiagnosisTestAccess::setWallClock(diagnosis_, [] { return int64_t{1'700'000'000'000}; });
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("/scan_01"));
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("/scan_02"));
  dir_.write("t.yaml", "sensors:\n" + scannerEntry("/scan_01"));
  ConsoleCapture console;
  ASSERT_TRUE(diagnosis_.reloadConfig());
  EXPECT_FALSE(diagnosis_.SensorReportWithoutHeader("/scan_02"));
  EXPECT_TRUE(diagnosis_.SensorReportWithoutHeader("/scan_01"));
  const std::string log = console.out();
  EXPECT_EQ(countOf(log, "Sensor topic not registered: /scan_02"), 1U) << log;
  const auto states = DiagnosisTestAccess::states(diagnosis_);
  EXPECT_EQ(states.at("/scan_01").timestamps.size(), 2U);
  EXPECT_EQ(states.at("/scan_02").timestamps.size(), 1U);
}

TEST_F(FrameReportTest, ReRegistrationAfterReportsGovernsTheNextFrame)
{
  int64_t now_ms = 1'700'000'000'000;
  DiagnosisTestAccess::setWallClock(diagnosis_, [&now_ms] { return now_ms; });
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("/scan_01"));
  {
    ConsoleCapture quiet;
    ASSERT_TRUE(diagnosis_.Register("/scan_01", 10.0F, 0.5F, 100, 3));
  }
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("/scan_01"));
  now_ms += 200;
  ASSERT_TRUE(diagnosis_.SensorReportWithoutHeader("/scan_01"));
  // A 200 ms gap breaks the run under the new 100 ms cut-off; the file's 500 ms would not.
  const SensorState state = DiagnosisTestAccess::states(diagnosis_).at("/scan_01");
  EXPECT_EQ(state.run_frames, 1);
  EXPECT_EQ(state.timestamps.size(), 2U);
}

TEST_F(FrameReportTest, ReloadAddingATopicRegistersItsEarlierUnregisteredState)
{
  {
    ConsoleCapture quiet;
    std_msgs::msg::Header header;
    header.frame_id = "sonar";
    EXPECT_FALSE(diagnosis_.SensorReportWithHeader("/sonar", header));
    dir_.write("t.yaml", kTwoScanners + scannerEntry("/sonar"));
    ASSERT_TRUE(diagnosis_.reloadConfig());
  }
  EXPECT_TRUE(diagnosis_.SensorReportWithoutHeader("/sonar"));
  EXPECT_EQ(DiagnosisTestAccess::states(diagnosis_).at("/sonar").timestamps.size(), 1U);
}

TEST(FrameReport, TopicRegisteredOnlyByRegisterIsDroppedByTheAutomaticLoad)
{
  AmentPrefix prefix;
  Diagnosis diagnosis;
  ASSERT_TRUE(diagnosis.Register("/only_registered", 10.0F, 0.5F, 500, 3));
  ConsoleCapture console;
  EXPECT_TRUE(diagnosis.SensorReportWithoutHeader("/scan_01"));
  EXPECT_FALSE(diagnosis.SensorReportWithoutHeader("/only_registered"));
  const std::string log = console.out();
  EXPECT_NE(log.find("Sensor topic not registered: /only_registered"), std::string::npos);
}

// --- Data-status reports ------------------------------------------------------------------------

class DataStatusTest : public FrameReportTest
{
protected:
  void SetUp() override
  {
    FrameReportTest::SetUp();
    DiagnosisTestAccess::setWallClock(diagnosis_, [this] { return now_ms_.load(); });
  }

  std::atomic<int64_t> now_ms_{1'700'000'000'000};
  EventCollector collector_;
};

TEST_F(DataStatusTest, SameKindIsLimitedToOnePerSecondWhateverTheStatus)
{
  EXPECT_TRUE(diagnosis_.DataStatusReport(FRONT_2D_LIDAR_STATUS, 0));
  now_ms_ += 999;
  EXPECT_FALSE(diagnosis_.DataStatusReport(FRONT_2D_LIDAR_STATUS, 1));
  now_ms_ += 1;
  EXPECT_TRUE(diagnosis_.DataStatusReport(FRONT_2D_LIDAR_STATUS, 1));

  EXPECT_TRUE(diagnosis_.DataStatusReport(PATH_GLOBAL_PLAN_STATUS, 0));
  now_ms_ += 500;
  EXPECT_FALSE(diagnosis_.DataStatusReport(PATH_GLOBAL_PLAN_STATUS, 1));

  ASSERT_TRUE(collector_.waitFor(
    [](const std::vector<ReceivedEvent> & events) { return events.size() >= 3; }));
  const auto events = collector_.drain(500ms);
  ASSERT_EQ(events.size(), 3U);
  // Order is kept within a topic, not across topics.
  std::vector<std::string> lidar;
  std::vector<std::string> planning;
  for (const auto & received : events) {
    (received.topic == EventCollector::kSensorProxyTopic ? lidar : planning)
      .push_back(received.event.event_msg);
  }
  EXPECT_EQ(lidar, (std::vector<std::string>{"FRONT_2D_LIDAR_NORMAL", "FRONT_2D_LIDAR_ABNORMAL"}));
  EXPECT_EQ(planning, (std::vector<std::string>{"PATH_GLOBAL_PLAN_NORMAL"}));
}

TEST_F(DataStatusTest, EachKindGoesToItsOwnTopicOnly)
{
  const AbnormalEventType kinds[] = {FRONT_2D_LIDAR_STATUS,        REAR_2D_LIDAR_STATUS,
                                     PATH_GLOBAL_PLAN_STATUS,      PATH_LOCAL_PLAN_STATUS,
                                     LOCALIZATION_DEGRADED_STATUS, LOCALIZATION_LOST_STATUS,
                                     NAV_TO_POINT_STATUS};
  for (AbnormalEventType kind : kinds) {
    EXPECT_TRUE(diagnosis_.DataStatusReport(kind, 1));  // all in the same millisecond
  }
  ASSERT_TRUE(collector_.waitFor([](const auto & events) { return events.size() >= 7; }));
  const auto events = collector_.drain(500ms);
  ASSERT_EQ(events.size(), 7U);
  const auto topic_of = [&events](int32_t id) {
    for (const auto & received : events) {
      if (received.event.event_id == id) {
        EXPECT_EQ(received.event.event_status, 1);
        EXPECT_EQ(received.event.header.frame_id, "");
        return received.topic;
      }
    }
    return std::string("none");
  };
  EXPECT_EQ(topic_of(8009), EventCollector::kSensorProxyTopic);
  EXPECT_EQ(topic_of(8011), EventCollector::kSensorProxyTopic);
  EXPECT_EQ(topic_of(8017), EventCollector::kChassisPncTopic);
  EXPECT_EQ(topic_of(8018), EventCollector::kChassisPncTopic);
  EXPECT_EQ(topic_of(8022), EventCollector::kChassisPncTopic);
  EXPECT_EQ(topic_of(8019), EventCollector::kChassisLocTopic);
  EXPECT_EQ(topic_of(8020), EventCollector::kChassisLocTopic);
}

TEST_F(DataStatusTest, UnknownKindsAreLoggedNotPublishedAndRateLimitedTogether)
{
  ConsoleCapture console;
  EXPECT_TRUE(diagnosis_.DataStatusReport(static_cast<AbnormalEventType>(7), 1));
  EXPECT_FALSE(diagnosis_.DataStatusReport(static_cast<AbnormalEventType>(-1), 1));
  now_ms_ += 1000;
  EXPECT_TRUE(diagnosis_.DataStatusReport(static_cast<AbnormalEventType>(-1), 0));
  const std::string log = console.out();
  EXPECT_NE(
    log.find("[INFO] event_id:0, event_status:1, event_msg:UNKNOWN_EVENT\n"), std::string::npos)
    << log;
  EXPECT_NE(
    log.find("[INFO] event_id:0, event_status:0, event_msg:UNKNOWN_EVENT\n"), std::string::npos);
  EXPECT_TRUE(collector_.drain(700ms).empty());
}

TEST_F(DataStatusTest, AReportRightAfterTheClockWasSteppedBackIsPublished)
{
  EXPECT_TRUE(diagnosis_.DataStatusReport(LOCALIZATION_LOST_STATUS, 0));
  now_ms_ -= 60'000;
  EXPECT_TRUE(diagnosis_.DataStatusReport(LOCALIZATION_LOST_STATUS, 1));
  EXPECT_TRUE(collector_.waitForEvent(EventCollector::kChassisLocTopic, [](const auto & event) {
    return event.event_id == 8020 && event.event_status == 1;
  }));
}

TEST_F(DataStatusTest, AStreamThatDiesAfterABackwardStepStillTimesOut)
{
  std_msgs::msg::Header header;
  for (int i = 0; i < 5; ++i) {
    now_ms_ += 100;
    ASSERT_TRUE(diagnosis_.SensorReportWithHeader("/scan_01", header));
  }
  now_ms_ -= 86'400'000;  // a day back, and no more frames
  diagnosis_.TimeoutCheck();
  now_ms_ += 600;  // the cut-off (500 ms) and one period later
  collector_.clear();
  diagnosis_.TimeoutCheck();
  EXPECT_TRUE(collector_.waitForEvent(EventCollector::kSensorProxyTopic, [](const auto & event) {
    return event.event_id == 8001 && event.event_status == 1;
  }));
}

TEST_F(DataStatusTest, LogLineCarriesThePublishedFields)
{
  ConsoleCapture console;
  EXPECT_TRUE(diagnosis_.DataStatusReport(LOCALIZATION_LOST_STATUS, 1));
  const std::string log = console.out();
  EXPECT_NE(
    log.find("[INFO] event_id:8020, event_status:1, event_msg:LOCALIZATION_LOST\n"),
    std::string::npos)
    << log;
}

TEST_F(DataStatusTest, AnyNonZeroStatusIsPublishedAsGivenWithTheAbnormalText)
{
  EXPECT_TRUE(diagnosis_.DataStatusReport(NAV_TO_POINT_STATUS, 0));
  now_ms_ += 1000;
  EXPECT_TRUE(diagnosis_.DataStatusReport(NAV_TO_POINT_STATUS, 7));
  ASSERT_TRUE(collector_.waitFor([](const auto & events) { return events.size() >= 2; }));
  const auto events = collector_.snapshot();
  EXPECT_EQ(events[1].event.event_status, 7);
  EXPECT_EQ(events[1].event.event_msg, "NAV_TO_POINT_FAILED");
  EXPECT_EQ(events[1].topic, EventCollector::kChassisPncTopic);
}

TEST_F(DataStatusTest, StatusEventsDoNotLeakIntoStreamHeaders)
{
  std_msgs::msg::Header header;
  header.frame_id = "front_laser";
  header.stamp.sec = 12;
  ASSERT_TRUE(diagnosis_.SensorReportWithHeader("/scan_01", header));
  EXPECT_TRUE(diagnosis_.DataStatusReport(FRONT_2D_LIDAR_STATUS, 1));
  diagnosis_.TimeoutCheck();
  ASSERT_TRUE(collector_.waitForEvent(
    EventCollector::kSensorProxyTopic, [](const auto & event) { return event.event_id == 8001; }));
  for (const auto & received : collector_.snapshot()) {
    if (received.event.event_id == 8001) {
      EXPECT_EQ(received.event.header.frame_id, "front_laser");
      EXPECT_EQ(received.event.header.stamp.sec, 12);
    }
  }
}

// --- The road of one frame ----------------------------------------------------------------------

TEST(RoadOfOneFrame, TenHertzScanReadsNormalThenTimesOutWhenItStops)
{
  AmentPrefix prefix;
  Diagnosis diagnosis;
  EventCollector collector;
  std::atomic<bool> stop{false};
  std::thread host([&] {
    std_msgs::msg::Header header;
    header.frame_id = "scan_01_link";
    while (!stop) {
      diagnosis.SensorReportWithHeader("/scan_01", header);
      std::this_thread::sleep_for(100ms);
    }
  });
  const auto normal = [](int32_t id, const char * text) {
    return [id, text](const DiagnosticEvent & event) {
      return event.event_id == id && event.event_status == 0 && event.event_msg == text &&
             event.header.frame_id == "scan_01_link";
    };
  };
  EXPECT_TRUE(
    collector.waitForEvent(EventCollector::kSensorProxyTopic, normal(8001, "STREAM NORMAL")));
  EXPECT_TRUE(
    collector.waitForEvent(EventCollector::kSensorProxyTopic, normal(8008, "NORMAL FRAME RATE")));
  stop = true;
  host.join();
  collector.clear();
  EXPECT_TRUE(collector.waitForEvent(EventCollector::kSensorProxyTopic, [](const auto & event) {
    return event.event_id == 8001 && event.event_status == 1 && event.event_msg == "STREAM TIMEOUT";
  }));
}

}  // namespace
