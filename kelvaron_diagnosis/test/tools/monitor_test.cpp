// kelvaron_diag_monitor: the labels it gives ids, its table, and a snapshot of a live library.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "event_labels.hpp"
#include "event_table.hpp"
#include "render.hpp"
#include "stream_rows.hpp"
#include "support/diagnosis_test_access.hpp"
#include "support/scanner_thresholds.hpp"
#include "support/temp_dir.hpp"
#include "tools/run_command.hpp"

namespace
{

using kelvaron::monitor::eventLabel;

constexpr const char * kProxy = "sensor_proxy_diag_topic";

TEST(MonitorLabels, EveryStreamIdHasItsNameOrGroup)
{
  EXPECT_EQ(eventLabel(kProxy, 8001, "STREAM TIMEOUT"), "time-out /scan_01");
  EXPECT_EQ(eventLabel(kProxy, 8002, "STREAM NORMAL"), "time-out /scan_02");
  EXPECT_EQ(eventLabel(kProxy, 8003, "STREAM NORMAL"), "time-out /rslidar_points");
  EXPECT_EQ(eventLabel(kProxy, 8004, "STREAM NORMAL"), "time-out /costmap_input/ultrasonic_laser1");
  EXPECT_EQ(eventLabel(kProxy, 8007, "STREAM NORMAL"), "time-out /costmap_input/ultrasonic_laser2");
  EXPECT_EQ(eventLabel(kProxy, 8005, "STREAM NORMAL"), "time-out /costmap_input/ultrasonic_laser3");
  EXPECT_EQ(eventLabel(kProxy, 8006, "STREAM NORMAL"), "time-out /costmap_input/ultrasonic_laser4");
  EXPECT_EQ(eventLabel(kProxy, 8008, "NORMAL FRAME RATE"), "frame rate /scan_01");
  EXPECT_EQ(eventLabel(kProxy, 8010, "NORMAL FRAME RATE"), "frame rate /scan_02");
  EXPECT_EQ(eventLabel(kProxy, 8012, "NORMAL FRAME RATE"), "frame rate /rslidar_points");
  EXPECT_EQ(eventLabel(kProxy, 8013, "NORMAL FRAME RATE"), "frame rate /camera_02/depth/image_raw");
  EXPECT_EQ(eventLabel(kProxy, 8014, "NORMAL FRAME RATE"), "frame rate, colour cameras 01/03");
  EXPECT_EQ(eventLabel(kProxy, 8015, "ABNORMAL FRAME RATE"), "frame rate, ultrasonic lasers 1-4");
  EXPECT_EQ(eventLabel(kProxy, 8016, "NORMAL FRAME RATE"), "frame rate /imu/data");
  EXPECT_EQ(eventLabel(kProxy, 8021, "NORMAL FRAME RATE"), "frame rate /robot_base/wheel/odom");
  EXPECT_EQ(eventLabel(kProxy, 0, "STREAM TIMEOUT"), "time-out of a stream without id");
  EXPECT_EQ(eventLabel(kProxy, 0, "NORMAL FRAME RATE"), "frame rate of a stream without id");
}

TEST(MonitorLabels, StatusIdsAreNamedByTheirKindAndUnknownIdsAreGeneric)
{
  EXPECT_EQ(eventLabel(kProxy, 8009, "FRONT_2D_LIDAR_ABNORMAL"), "FRONT_2D_LIDAR_STATUS");
  EXPECT_EQ(eventLabel(kProxy, 8011, "REAR_2D_LIDAR_NORMAL"), "REAR_2D_LIDAR_STATUS");
  EXPECT_EQ(eventLabel("chassis_pnc_diag_topic", 8017, ""), "PATH_GLOBAL_PLAN_STATUS");
  EXPECT_EQ(eventLabel("chassis_pnc_diag_topic", 8018, ""), "PATH_LOCAL_PLAN_STATUS");
  EXPECT_EQ(eventLabel("chassis_loc_diag_topic", 8019, ""), "LOCALIZATION_DEGRADED_STATUS");
  EXPECT_EQ(eventLabel("chassis_loc_diag_topic", 8020, ""), "LOCALIZATION_LOST_STATUS");
  EXPECT_EQ(eventLabel("chassis_pnc_diag_topic", 8022, ""), "NAV_TO_POINT_STATUS");
  EXPECT_EQ(eventLabel(kProxy, 9999, "SOMETHING"), "event 9999");
  EXPECT_EQ(eventLabel("chassis_loc_diag_topic", 8001, ""), "event 8001");
  EXPECT_STREQ(kelvaron::monitor::statusName(0), "NORMAL");
  EXPECT_STREQ(kelvaron::monitor::statusName(1), "ABNORMAL");
  EXPECT_STREQ(kelvaron::monitor::statusName(7), "ABNORMAL");
}

diagnostic_msgs::msg::DiagnosticArray arrayOf(const std::vector<std::string> & topics)
{
  diagnostic_msgs::msg::DiagnosticArray array;
  for (const std::string & topic : topics) {
    diagnostic_msgs::msg::DiagnosticStatus status;
    status.name = "diagnosis_Sensor_Proxy_node: " + topic;
    status.level = diagnostic_msgs::msg::DiagnosticStatus::WARN;
    status.values.resize(1);
    status.values[0].key = "topic";
    status.values[0].value = topic;
    array.status.push_back(status);
  }
  // The lidar kinds report through the same node, and are no stream.
  diagnostic_msgs::msg::DiagnosticStatus lidar;
  lidar.name = "diagnosis_Sensor_Proxy_node: FRONT_2D_LIDAR_STATUS";
  array.status.push_back(lidar);
  return array;
}

TEST(MonitorStreams, FollowTheLatestArrayAndGoWhenTheArraysStop)
{
  kelvaron::monitor::StreamRows streams;
  const auto t0 = std::chrono::steady_clock::now();
  streams.update(arrayOf({"/scan_01", "/imu/data"}), t0);
  streams.update(arrayOf({"/scan_01"}), t0 + std::chrono::seconds(1));  // /imu/data dropped
  auto rows = streams.rows(t0 + std::chrono::seconds(2));
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_EQ(rows[0].topic, "/scan_01");
  EXPECT_EQ(kelvaron::monitor::levelName(rows[0].level), "WARN");

  // Another publisher's array names no stream of ours and changes nothing.
  diagnostic_msgs::msg::DiagnosticArray foreign;
  foreign.status.resize(1);
  foreign.status[0].name = "motor_driver: temperature";
  streams.update(foreign, t0 + std::chrono::seconds(2));
  EXPECT_EQ(streams.rows(t0 + std::chrono::seconds(3)).size(), 1U);

  // Switched off: after three intervals (at least 3 s) without an array, no stream rows.
  EXPECT_TRUE(streams.rows(t0 + std::chrono::seconds(5)).empty());

  // Arrays 2 s apart (period_ms 2000) are waited for three of their intervals, 6 s.
  streams.update(arrayOf({"/scan_01"}), t0 + std::chrono::seconds(10));
  streams.update(arrayOf({"/scan_01"}), t0 + std::chrono::seconds(12));
  EXPECT_EQ(streams.rows(t0 + std::chrono::seconds(17)).size(), 1U) << "gone after 5 s";
  EXPECT_TRUE(streams.rows(t0 + std::chrono::milliseconds(18'001)).empty());
}

TEST(MonitorTable, RowsAreKeyedByTopicIdFrameAndVerdictKind)
{
  kelvaron::monitor::EventTable table;
  const auto t0 = std::chrono::steady_clock::now();
  table.add(kProxy, 8015, 1, "ABNORMAL FRAME RATE", "sonar_1", t0);
  table.add(kProxy, 8015, 0, "NORMAL FRAME RATE", "sonar_2", t0);
  table.add(kProxy, 8015, 0, "NORMAL FRAME RATE", "sonar_1", t0);
  table.add(kProxy, 0, 1, "STREAM TIMEOUT", "imu", t0);
  table.add(kProxy, 0, 0, "NORMAL FRAME RATE", "imu", t0);
  const auto rows = table.rows();
  ASSERT_EQ(rows.size(), 4U);
  EXPECT_EQ(table.total(), 5U);
  const auto find = [&rows](int32_t id, const std::string & frame, const std::string & text) {
    for (const auto & row : rows) {
      if (row.event_id == id && row.frame_id == frame && row.last_text == text) {
        return row;
      }
    }
    ADD_FAILURE() << "no row for " << id << " " << frame << " " << text;
    return kelvaron::monitor::EventRow{};
  };
  const auto sonar_1 = find(8015, "sonar_1", "NORMAL FRAME RATE");
  EXPECT_EQ(sonar_1.count, 2U);
  EXPECT_EQ(sonar_1.abnormal_count, 1U);
  EXPECT_EQ(sonar_1.last_status, 0);
  EXPECT_EQ(find(0, "imu", "STREAM TIMEOUT").label, "time-out of a stream without id");
  EXPECT_EQ(find(0, "imu", "NORMAL FRAME RATE").label, "frame rate of a stream without id");

  const std::string json = kelvaron::monitor::renderJson(rows, t0);
  EXPECT_NE(json.find("\"event_id\":8015,\"frame_id\":\"sonar_2\""), std::string::npos) << json;
  const std::string text = kelvaron::monitor::renderText(rows, t0, {});
  EXPECT_NE(text.find("frame rate, ultrasonic lasers 1-4"), std::string::npos) << text;
}

TEST(MonitorTool, OnceShowsTheRowsOfARunningLibrary)
{
  TempDir dir;
  const std::string config = dir.write("t.yaml", scannerFile());
  Diagnosis diagnosis;
  ASSERT_TRUE(diagnosis.initialize(config));
  diagnosis.startTimer();
  const std::string command = std::string(KELVARON_MONITOR_TOOL) + " --once --duration 4 --json";
  // The status event is published while the monitor listens.
  std::thread reporter([&diagnosis] {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    diagnosis.DataStatusReport(LOCALIZATION_LOST_STATUS, 1);
  });
  const CommandResult result = runCommand(command);
  reporter.join();
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(
    result.output.find("\"topic\":\"sensor_proxy_diag_topic\",\"event_id\":8001"),
    std::string::npos)
    << result.output;
  EXPECT_NE(result.output.find("\"event\":\"time-out /scan_01\",\"status\":1"), std::string::npos)
    << result.output;
  EXPECT_NE(
    result.output.find("\"topic\":\"chassis_loc_diag_topic\",\"event_id\":8020"), std::string::npos)
    << result.output;
  EXPECT_NE(result.output.find("\"text\":\"LOCALIZATION_LOST\""), std::string::npos);
}

}  // namespace
