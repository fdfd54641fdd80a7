#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "dds_config.hpp"
#include "scoped_env.hpp"

using standin_test::ScopedEnv;

TEST(LoopbackConfig, NamesOnlyTheLoopbackInterfaceWithMulticastOff)
{
  const std::string xml = ros2_standin::loopback_domain_config();
  EXPECT_NE(
    xml.find("<NetworkInterface address=\"127.0.0.1\" multicast=\"false\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<AllowMulticast>false</AllowMulticast>"), std::string::npos);
  EXPECT_NE(xml.find("<Peers><Peer address=\"127.0.0.1\"/></Peers>"), std::string::npos);
  EXPECT_NE(xml.find("<ParticipantIndex>auto</ParticipantIndex>"), std::string::npos);
  EXPECT_NE(xml.find("<MaxAutoParticipantIndex>120</MaxAutoParticipantIndex>"), std::string::npos);
  EXPECT_NE(xml.find("<SPDPInterval>1s</SPDPInterval>"), std::string::npos);
  // No other address may appear anywhere in it.
  size_t position = 0;
  while ((position = xml.find("address=\"", position)) != std::string::npos) {
    position += 9;
    EXPECT_EQ(xml.compare(position, 10, "127.0.0.1\""), 0) << xml.substr(position, 20);
  }
}

TEST(LoopbackConfig, AppliesUnlessTheUserWidenedIt)
{
  {
    ScopedEnv uri("CYCLONEDDS_URI", nullptr);
    ScopedEnv localhost("ROS_LOCALHOST_ONLY", nullptr);
    EXPECT_TRUE(ros2_standin::loopback_only());
  }
  {
    ScopedEnv uri("CYCLONEDDS_URI", "");
    ScopedEnv localhost("ROS_LOCALHOST_ONLY", "1");
    EXPECT_TRUE(ros2_standin::loopback_only());
  }
  {
    ScopedEnv uri("CYCLONEDDS_URI", nullptr);
    ScopedEnv localhost("ROS_LOCALHOST_ONLY", "0");
    EXPECT_FALSE(ros2_standin::loopback_only());
  }
  {
    ScopedEnv uri("CYCLONEDDS_URI", "file:///etc/cyclonedds.xml");
    ScopedEnv localhost("ROS_LOCALHOST_ONLY", "1");
    EXPECT_FALSE(ros2_standin::loopback_only());
  }
}

TEST(DomainId, ComesFromRosDomainIdOrDefaultsToZero)
{
  {
    ScopedEnv domain("ROS_DOMAIN_ID", nullptr);
    EXPECT_EQ(ros2_standin::domain_id_from_environment(), 0u);
  }
  {
    ScopedEnv domain("ROS_DOMAIN_ID", "");
    EXPECT_EQ(ros2_standin::domain_id_from_environment(), 0u);
  }
  {
    ScopedEnv domain("ROS_DOMAIN_ID", "42");
    EXPECT_EQ(ros2_standin::domain_id_from_environment(), 42u);
  }
  for (const char * bad : {"x", "-1", "233", "4 2"}) {
    ScopedEnv domain("ROS_DOMAIN_ID", bad);
    EXPECT_THROW(ros2_standin::domain_id_from_environment(), std::invalid_argument) << bad;
  }
}
