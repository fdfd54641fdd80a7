// A plain DDS application, not a ROS 2 one, writing on a ROS topic's DDS name under a type name
// that is no ROS type, as any program on a robot's network may:
//   foreign_dds_writer DDS_TOPIC SECONDS
// Domain from ROS_DOMAIN_ID; loopback only unless CYCLONEDDS_URI says otherwise.
#include <dds/dds.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{

struct Reading
{
  int32_t value;
};

const uint32_t kReadingOps[] = {
  DDS_OP_ADR | DDS_OP_TYPE_4BY | DDS_OP_FLAG_SGN, offsetof(Reading, value), DDS_OP_RTS};

const dds_topic_descriptor_t kReadingDescriptor = {
  sizeof(Reading),
  alignof(Reading),
  DDS_TOPIC_FIXED_SIZE,
  0,
  "Foreign::Reading",
  nullptr,
  3,
  kReadingOps,
  "",
  {},
  {},
  0};

// What the loopback-only participants of these tests use, so that they discover each other.
constexpr char kLoopbackConfig[] =
  "<CycloneDDS><Domain Id=\"any\"><General>"
  "<Interfaces><NetworkInterface address=\"127.0.0.1\" multicast=\"false\"/></Interfaces>"
  "<AllowMulticast>false</AllowMulticast></General>"
  "<Discovery><ParticipantIndex>auto</ParticipantIndex>"
  "<MaxAutoParticipantIndex>120</MaxAutoParticipantIndex>"
  "<Peers><Peer address=\"127.0.0.1\"/></Peers></Discovery></Domain></CycloneDDS>";

}  // namespace

int main(int argc, char ** argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: foreign_dds_writer DDS_TOPIC SECONDS\n");
    return 2;
  }
  const char * domain_text = std::getenv("ROS_DOMAIN_ID");
  const auto domain_id =
    static_cast<dds_domainid_t>(domain_text != nullptr ? std::atoi(domain_text) : 0);
  const char * uri = std::getenv("CYCLONEDDS_URI");
  dds_entity_t domain = 0;
  if (uri == nullptr || *uri == '\0') {
    domain = dds_create_domain(domain_id, kLoopbackConfig);
  }
  const dds_entity_t participant = dds_create_participant(domain_id, nullptr, nullptr);
  const dds_entity_t topic =
    dds_create_topic(participant, &kReadingDescriptor, argv[1], nullptr, nullptr);
  const dds_entity_t writer = dds_create_writer(participant, topic, nullptr, nullptr);
  if (domain < 0 || participant < 0 || topic < 0 || writer < 0) {
    std::fprintf(stderr, "foreign_dds_writer: DDS refused the writer\n");
    return 1;
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
  for (Reading reading{0}; std::chrono::steady_clock::now() < until; ++reading.value) {
    dds_write(writer, &reading);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  dds_delete(participant);
  if (domain > 0) {
    dds_delete(domain);
  }
  return 0;
}
