// Initialises the ROS 2 client library once for a whole test binary.
#include <gtest/gtest.h>

#include <rclcpp/rclcpp.hpp>

#include "support/test_domain.hpp"

namespace
{

class RosEnvironment : public ::testing::Environment
{
public:
  void SetUp() override
  {
    useOwnTestDomain();
    rclcpp::init(0, nullptr);
  }
  void TearDown() override { rclcpp::shutdown(); }
};

const auto * const g_ros_environment =
  ::testing::AddGlobalTestEnvironment(new RosEnvironment);  // gtest takes ownership

}  // namespace
