// A host process as a robot would run it: it links the installed library, reports simulated
// sensor frames and a few status events, and lets the library publish its verdicts.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <ament_index_cpp/get_package_share_directory.hpp>
#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "simulated_sensors.hpp"

namespace
{

using namespace std::chrono_literals;

struct ScheduledStatus
{
  std::chrono::milliseconds at;
  AbnormalEventType kind;
  int status;
};

}  // namespace

int main(int argc, char ** argv)
{
  double duration_s = 15.0;
  if (argc > 2 && std::string(argv[1]) == "--duration") {
    duration_s = std::atof(argv[2]);
  }
  rclcpp::init(argc, argv);

  // The file the library's automatic initialisation would load.
  const std::string thresholds =
    ament_index_cpp::get_package_share_directory("kelvaron_diagnosis") +
    "/config/sensor_thresholds.yaml";
  const double scan_hz = normalRateOf(thresholds, "/scan_01");
  const double camera_hz = normalRateOf(thresholds, "/camera_01/color/image_raw");
  const double imu_hz = normalRateOf(thresholds, "/imu/data");

  std::vector<SimulatedStream> streams{
    {"/scan_01", "front_laser", scan_hz},                                // healthy
    {"/camera_01/color/image_raw", "camera_01_color", camera_hz * 0.3},  // running slow
    {"/imu/data", "imu_link", imu_hz, 5000ms, 9000ms},                   // drops out, returns
  };
  const std::vector<ScheduledStatus> statuses{
    {1000ms, LOCALIZATION_DEGRADED_STATUS, 1}, {3000ms, PATH_GLOBAL_PLAN_STATUS, 1},
    {4000ms, FRONT_2D_LIDAR_STATUS, 0},        {6000ms, LOCALIZATION_DEGRADED_STATUS, 0},
    {8000ms, PATH_GLOBAL_PLAN_STATUS, 0},      {10000ms, NAV_TO_POINT_STATUS, 1},
    {12000ms, NAV_TO_POINT_STATUS, 0},
  };

  std::cout << "demo_host: /scan_01 at " << scan_hz << " Hz (healthy), "
            << "/camera_01/color/image_raw at " << camera_hz * 0.3 << " Hz (below its " << camera_hz
            << " Hz), /imu/data at " << imu_hz << " Hz silent from 5 s to 9 s; running "
            << duration_s << " s" << std::endl;

  // The default thresholds with the /diagnostics output switched on, so the monitor can name
  // every stream by its topic.
  const std::string demo_thresholds =
    (std::filesystem::temp_directory_path() / "kelvaron_demo_thresholds.yaml").string();
  {
    std::ifstream defaults(thresholds);
    std::ofstream demo(demo_thresholds);
    demo << defaults.rdbuf() << "\nros_diagnostics:\n  enabled: true\n  period_ms: 1000\n";
  }

  {
    Diagnosis diagnosis;
    // A host that chooses its file initialises the object itself and starts its timer.
    if (!diagnosis.initialize(demo_thresholds)) {
      std::cerr << "demo_host: cannot load " << demo_thresholds << std::endl;
      rclcpp::shutdown();
      return 1;
    }
    diagnosis.startTimer();
    std::size_t next_status = 0;
    runStreams(
      streams, duration_s,
      [&](const SimulatedStream & stream) {
        std_msgs::msg::Header header;
        header.stamp = rclcpp::Clock(RCL_SYSTEM_TIME).now();
        header.frame_id = stream.frame_id;
        diagnosis.SensorReportWithHeader(stream.topic, header);
      },
      [&](std::chrono::milliseconds elapsed) {
        while (next_status < statuses.size() && statuses[next_status].at <= elapsed) {
          diagnosis.DataStatusReport(statuses[next_status].kind, statuses[next_status].status);
          ++next_status;
        }
      });
  }  // the library's threads stop and its nodes go before the context shuts down
  rclcpp::shutdown();
  std::cout << "demo_host: done" << std::endl;
  return 0;
}
