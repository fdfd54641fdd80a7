#ifndef ROS2_STANDIN__TEST__RAW_PARTICIPANT_HPP_
#define ROS2_STANDIN__TEST__RAW_PARTICIPANT_HPP_

#include <dds/dds.h>

#include <chrono>
#include <stdexcept>
#include <string>

#include "dds_config.hpp"

namespace standin_test
{

// A plain Cyclone DDS participant, as a foreign ROS 2 node would have, on the stand-in's
// loopback configuration and ROS_DOMAIN_ID.
class RawParticipant
{
public:
  RawParticipant()
  {
    const uint32_t domain_id = ros2_standin::domain_id_from_environment();
    const std::string config = ros2_standin::loopback_domain_config();
    domain_ = dds_create_domain(domain_id, config.c_str());
    if (domain_ < 0 && domain_ != DDS_RETCODE_PRECONDITION_NOT_MET) {
      throw std::runtime_error(std::string("dds_create_domain: ") + dds_strretcode(domain_));
    }
    participant_ = dds_create_participant(domain_id, nullptr, nullptr);
    if (participant_ < 0) {
      throw std::runtime_error(
        std::string("dds_create_participant: ") + dds_strretcode(participant_));
    }
  }
  ~RawParticipant()
  {
    dds_delete(participant_);
    if (domain_ > 0) {
      dds_delete(domain_);
    }
  }
  RawParticipant(const RawParticipant &) = delete;
  RawParticipant & operator=(const RawParticipant &) = delete;

  dds_entity_t get() const { return participant_; }

  // Reader/writer QoS of a ROS 2 Humble node for QoS(10).
  static dds_qos_t * ros_qos()
  {
    dds_qos_t * qos = dds_create_qos();
    dds_qset_history(qos, DDS_HISTORY_KEEP_LAST, 10);
    dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
    dds_qset_durability(qos, DDS_DURABILITY_VOLATILE);
    const dds_data_representation_id_t xcdr1 = DDS_DATA_REPRESENTATION_XCDR1;
    dds_qset_data_representation(qos, 1, &xcdr1);
    return qos;
  }

private:
  dds_entity_t domain_ = 0;
  dds_entity_t participant_ = 0;
};

// Waits until `entity` has data, up to `deadline`.
inline bool wait_for_data(dds_entity_t reader, std::chrono::milliseconds deadline)
{
  const dds_entity_t waitset = dds_create_waitset(DDS_CYCLONEDDS_HANDLE);
  const dds_entity_t condition = dds_create_readcondition(reader, DDS_NOT_READ_SAMPLE_STATE);
  dds_waitset_attach(waitset, condition, 0);
  const dds_return_t triggered = dds_waitset_wait(waitset, nullptr, 0, DDS_MSECS(deadline.count()));
  dds_delete(waitset);
  dds_delete(condition);
  return triggered > 0;
}

}  // namespace standin_test

#endif  // ROS2_STANDIN__TEST__RAW_PARTICIPANT_HPP_
