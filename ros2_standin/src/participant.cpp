#include "participant.hpp"

#include <string>

#include "dds_config.hpp"
#include "dds_qos.hpp"
#include "discovery_info.hpp"
#include "rcl_errors.hpp"

namespace ros2_standin
{

namespace
{

// What rmw_cyclonedds (Humble) puts in the participant's user data for the root enclave.
constexpr char kUserData[] = "enclave=/;";

}  // namespace

ParticipantHandles create_participant(uint32_t domain_id)
{
  ParticipantHandles handles;
  if (loopback_only()) {
    const std::string config = loopback_domain_config();
    const dds_entity_t domain = dds_create_domain(domain_id, config.c_str());
    if (domain > 0) {
      handles.domain = domain;
    } else if (domain != DDS_RETCODE_PRECONDITION_NOT_MET) {
      // PRECONDITION_NOT_MET means the domain exists in this process already: share it.
      throw_rcl_error(
        RCL_RET_ERROR, "failed to initialize rcl",
        std::string("failed to create DDS domain: ") + dds_strretcode(domain));
    }
  }

  QosPtr qos(dds_create_qos());
  dds_qset_userdata(qos.get(), kUserData, sizeof(kUserData) - 1);
  handles.participant = dds_create_participant(domain_id, qos.get(), nullptr);
  if (handles.participant < 0) {
    const dds_return_t error = handles.participant;
    if (handles.domain > 0) {
      dds_delete(handles.domain);
    }
    throw_rcl_error(
      RCL_RET_ERROR, "failed to initialize rcl",
      std::string("failed to create DDS participant: ") + dds_strretcode(error));
  }
  handles.gid = entity_gid(handles.participant);

  handles.discovery_writer = create_discovery_writer(handles.participant);
  if (handles.discovery_writer < 0) {
    const dds_return_t error = handles.discovery_writer;
    delete_participant(handles);
    throw_rcl_error(
      RCL_RET_ERROR, "failed to initialize rcl",
      std::string("failed to create the ros_discovery_info writer: ") + dds_strretcode(error));
  }
  return handles;
}

void delete_participant(const ParticipantHandles & handles)
{
  if (handles.participant > 0) {
    dds_delete(handles.participant);
  }
  if (handles.domain > 0) {
    dds_delete(handles.domain);
  }
}

}  // namespace ros2_standin
