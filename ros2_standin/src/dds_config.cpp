#include "dds_config.hpp"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace ros2_standin
{

namespace
{

// Enough participant indices for a test run's many processes on one host; Cyclone's default
// of 9 runs out quickly.
constexpr int kMaxAutoParticipantIndex = 120;

const char * non_empty_env(const char * name)
{
  const char * value = std::getenv(name);
  return (value != nullptr && value[0] != '\0') ? value : nullptr;
}

}  // namespace

std::string loopback_domain_config()
{
  return std::string(
           "<CycloneDDS><Domain Id=\"any\">"
           "<General>"
           "<Interfaces><NetworkInterface address=\"127.0.0.1\" multicast=\"false\"/></Interfaces>"
           "<AllowMulticast>false</AllowMulticast>"
           "</General>"
           "<Discovery>"
           "<ParticipantIndex>auto</ParticipantIndex>"
           "<MaxAutoParticipantIndex>") +
         std::to_string(kMaxAutoParticipantIndex) +
         "</MaxAutoParticipantIndex>"
         "<Peers><Peer address=\"127.0.0.1\"/></Peers>"
         "<SPDPInterval>1s</SPDPInterval>"
         "</Discovery>"
         "</Domain></CycloneDDS>";
}

bool loopback_only()
{
  if (non_empty_env("CYCLONEDDS_URI") != nullptr) {
    return false;
  }
  const char * localhost_only = non_empty_env("ROS_LOCALHOST_ONLY");
  return localhost_only == nullptr || std::string(localhost_only) != "0";
}

uint32_t domain_id_from_environment()
{
  const char * value = non_empty_env("ROS_DOMAIN_ID");
  if (value == nullptr) {
    return 0;
  }
  errno = 0;
  char * end = nullptr;
  const unsigned long parsed = std::strtoul(value, &end, 10);
  // Cyclone's port mapping allows domain ids up to 232.
  if (errno != 0 || *end != '\0' || value[0] == '-' || parsed > 232) {
    throw std::invalid_argument(std::string("ROS_DOMAIN_ID is not a valid domain id: ") + value);
  }
  return static_cast<uint32_t>(parsed);
}

}  // namespace ros2_standin
