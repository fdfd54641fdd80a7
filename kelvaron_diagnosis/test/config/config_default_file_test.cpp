// The threshold file shipped with the package: it must load, cover the robot's stream table,
// and let a healthy stream look healthy.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <fstream>
#include <string>
#include <vector>

#include "config_test_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"
#include "support/diagnosis_test_access.hpp"

namespace
{

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;
using Peer = DiagnosisTestAccess;

const std::string kSourceFile = std::string(KELVARON_SOURCE_DIR) + "/config/sensor_thresholds.yaml";
const std::string kInstalledFile =
  std::string(KELVARON_INSTALL_SHARE_DIR) + "/config/sensor_thresholds.yaml";

const std::vector<std::string> kStreamTopics{
  "/scan_01",
  "/scan_02",
  "/rslidar_points",
  "/costmap_input/ultrasonic_laser1",
  "/costmap_input/ultrasonic_laser2",
  "/costmap_input/ultrasonic_laser3",
  "/costmap_input/ultrasonic_laser4",
  "/camera_02/depth/image_raw",
  "/camera_01/color/image_raw",
  "/camera_03/color/image_raw",
  "/imu/data",
  "/robot_base/wheel/odom",
};

TEST(DefaultConfigFile, LoadsQuietlyWithEveryStreamOfTheRobot)
{
  Diagnosis diagnosis;
  ConsoleCapture capture;
  ASSERT_TRUE(diagnosis.loadConfigFromFile(kSourceFile));
  EXPECT_THAT(capture.errLines(), IsEmpty());

  std::vector<std::string> topics;
  for (const auto & entry : Peer::thresholds(diagnosis)) {
    topics.push_back(entry.first);
  }
  EXPECT_THAT(topics, UnorderedElementsAreArray(kStreamTopics));
}

TEST(DefaultConfigFile, HealthyStreamsLookHealthy)
{
  Diagnosis diagnosis;
  ConsoleCapture capture;
  ASSERT_TRUE(diagnosis.loadConfigFromFile(kSourceFile));
  for (const auto & [topic, threshold] : Peer::thresholds(diagnosis)) {
    SCOPED_TRACE(topic);
    const double hz = threshold.normal_hz;
    const double cutoff_ms = static_cast<double>(threshold.cutoff_timeout_ms);
    // One frame period fits inside the cut-off, so a stream at its normal rate never times out.
    EXPECT_LT(1000.0 / hz, cutoff_ms);
    // The recovery count is reached within one cut-off at the normal rate.
    EXPECT_LE(static_cast<double>(threshold.cutoff_recovery_threshold), hz * cutoff_ms / 1000.0);
  }
}

TEST(DefaultConfigFile, InstalledCopyIsTheSourceFile)
{
  std::ifstream installed(kInstalledFile, std::ios::binary);
  if (!installed) {
    GTEST_SKIP() << "package not installed yet: " << kInstalledFile;
  }
  EXPECT_EQ(config_test::readFile(kInstalledFile), config_test::readFile(kSourceFile));
}

}  // namespace
