#ifndef ROS2_STANDIN__TEST__INTEROP__FASTDDS_LOOPBACK_PARTICIPANT_HPP_
#define ROS2_STANDIN__TEST__INTEROP__FASTDDS_LOOPBACK_PARTICIPANT_HPP_

#include <fastdds/dds/domain/DomainParticipant.hpp>
#include <fastdds/dds/subscriber/DataReaderListener.hpp>
#include <fastdds/dds/subscriber/Subscriber.hpp>
#include <fastdds/dds/subscriber/qos/DataReaderQos.hpp>
#include <fastdds/dds/topic/TypeSupport.hpp>

#include <cstdint>
#include <string>

namespace interop
{

// A Fast DDS participant that, like the stand-in, talks over 127.0.0.1 only: UDPv4 on the
// loopback interface, no shared memory, no multicast, peers found by unicast on 127.0.0.1.
class LoopbackParticipant
{
public:
  // Throws std::runtime_error when Fast DDS refuses.
  explicit LoopbackParticipant(uint32_t domain_id);
  ~LoopbackParticipant();
  LoopbackParticipant(const LoopbackParticipant &) = delete;
  LoopbackParticipant & operator=(const LoopbackParticipant &) = delete;

  // A reader of `topic`; `listener` must outlive this participant. Throws std::runtime_error.
  void add_reader(
    const std::string & topic, eprosima::fastdds::dds::TypeSupport type,
    const eprosima::fastdds::dds::DataReaderQos & qos,
    eprosima::fastdds::dds::DataReaderListener * listener);

private:
  eprosima::fastdds::dds::DomainParticipant * participant_ = nullptr;
  eprosima::fastdds::dds::Subscriber * subscriber_ = nullptr;
};

// What rclcpp's QoS(depth) means on the wire: reliable, volatile, keep-last(depth).
eprosima::fastdds::dds::DataReaderQos ros_reader_qos(int32_t depth);

// How ROS 2 graph tools read "ros_discovery_info": the latest sample of every participant,
// including those written before this reader appeared.
eprosima::fastdds::dds::DataReaderQos discovery_reader_qos();

}  // namespace interop

#endif  // ROS2_STANDIN__TEST__INTEROP__FASTDDS_LOOPBACK_PARTICIPANT_HPP_
