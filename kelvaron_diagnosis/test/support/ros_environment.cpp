// Initialises the ROS 2 client library once for a whole test binary.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <rclcpp/rclcpp.hpp>

namespace
{

class RosEnvironment : public ::testing::Environment
{
public:
  void SetUp() override
  {
    // Each test process (and the tools it starts) gets a DDS domain of its own, so test
    // programs run side by side (ctest -j) never receive each other's events. Domains 100-199
    // leave the default domain 0 to people.
    if (getenv("ROS_DOMAIN_ID") == nullptr) {
      setenv("ROS_DOMAIN_ID", std::to_string(100 + getpid() % 100).c_str(), 1);
    }
    rclcpp::init(0, nullptr);
  }
  void TearDown() override { rclcpp::shutdown(); }
};

const auto * const g_ros_environment =
  ::testing::AddGlobalTestEnvironment(new RosEnvironment);  // gtest takes ownership

}  // namespace
