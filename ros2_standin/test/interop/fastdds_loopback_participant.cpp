#include "fastdds_loopback_participant.hpp"

#include <fastdds/rtps/transport/UDPv4TransportDescriptor.h>
#include <fastrtps/utils/IPLocator.h>
#include <fastdds/dds/domain/DomainParticipantFactory.hpp>
#include <fastdds/dds/domain/qos/DomainParticipantQos.hpp>

#include <memory>
#include <stdexcept>

namespace interop
{

namespace dds = eprosima::fastdds::dds;
namespace rtps = eprosima::fastrtps::rtps;

namespace
{

constexpr char kLoopback[] = "127.0.0.1";
// Cyclone picks participant indices up to its MaxAutoParticipantIndex (120 in the stand-in's
// configuration); announcing to that many ports on 127.0.0.1 reaches every one of them.
constexpr uint32_t kInitialPeersRange = 128;

rtps::Locator_t loopback_locator()
{
  rtps::Locator_t locator;
  locator.kind = LOCATOR_KIND_UDPv4;
  rtps::IPLocator::setIPv4(locator, kLoopback);
  // Port 0: Fast DDS fills in the well-known ports of the domain.
  return locator;
}

dds::DomainParticipantQos loopback_qos()
{
  dds::DomainParticipantQos qos;
  qos.name("stand-in interop test (Fast DDS)");
  auto udp = std::make_shared<eprosima::fastdds::rtps::UDPv4TransportDescriptor>();
  udp->interfaceWhiteList.emplace_back(kLoopback);
  udp->maxInitialPeersRange = kInitialPeersRange;
  qos.transport().use_builtin_transports = false;
  qos.transport().user_transports.push_back(udp);

  auto & builtin = qos.wire_protocol().builtin;
  // With unicast metatraffic locators given and no multicast ones, none is added.
  builtin.metatrafficUnicastLocatorList.push_back(loopback_locator());
  builtin.initialPeersList.push_back(loopback_locator());
  builtin.discovery_config.leaseDuration_announcementperiod = eprosima::fastrtps::Duration_t(1, 0);
  qos.wire_protocol().default_unicast_locator_list.push_back(loopback_locator());
  return qos;
}

}  // namespace

LoopbackParticipant::LoopbackParticipant(uint32_t domain_id)
{
  auto * factory = dds::DomainParticipantFactory::get_instance();
  participant_ = factory->create_participant(domain_id, loopback_qos());
  if (participant_ == nullptr) {
    throw std::runtime_error("Fast DDS could not create a participant");
  }
  subscriber_ = participant_->create_subscriber(dds::SUBSCRIBER_QOS_DEFAULT);
  if (subscriber_ == nullptr) {
    factory->delete_participant(participant_);
    throw std::runtime_error("Fast DDS could not create a subscriber");
  }
}

LoopbackParticipant::~LoopbackParticipant()
{
  participant_->delete_contained_entities();
  dds::DomainParticipantFactory::get_instance()->delete_participant(participant_);
}

void LoopbackParticipant::add_reader(
  const std::string & topic_name, dds::TypeSupport type, const dds::DataReaderQos & qos,
  dds::DataReaderListener * listener)
{
  // Registering a type twice under its name is accepted; matching goes by this name alone.
  if (type.register_type(participant_) != ReturnCode_t::RETCODE_OK) {
    throw std::runtime_error("Fast DDS could not register type " + type.get_type_name());
  }
  dds::Topic * topic =
    participant_->create_topic(topic_name, type.get_type_name(), dds::TOPIC_QOS_DEFAULT);
  if (topic == nullptr) {
    throw std::runtime_error("Fast DDS could not create topic " + topic_name);
  }
  if (subscriber_->create_datareader(topic, qos, listener) == nullptr) {
    throw std::runtime_error("Fast DDS could not create a reader of " + topic_name);
  }
}

dds::DataReaderQos ros_reader_qos(int32_t depth)
{
  dds::DataReaderQos qos = dds::DATAREADER_QOS_DEFAULT;
  qos.reliability().kind = dds::RELIABLE_RELIABILITY_QOS;
  qos.durability().kind = dds::VOLATILE_DURABILITY_QOS;
  qos.history().kind = dds::KEEP_LAST_HISTORY_QOS;
  qos.history().depth = depth;
  // Strings are unbounded: samples may outgrow the size Fast DDS preallocates.
  qos.endpoint().history_memory_policy = rtps::PREALLOCATED_WITH_REALLOC_MEMORY_MODE;
  // Data sharing only ever works between Fast DDS processes.
  qos.data_sharing().off();
  return qos;
}

dds::DataReaderQos discovery_reader_qos()
{
  dds::DataReaderQos qos = ros_reader_qos(1);
  qos.durability().kind = dds::TRANSIENT_LOCAL_DURABILITY_QOS;
  return qos;
}

}  // namespace interop
