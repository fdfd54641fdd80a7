#include "support/raw_dds.hpp"

#include <stdexcept>
#include <thread>
#include <utility>

#include <rclcpp/qos.hpp>

#include "dds_config.hpp"
#include "dds_qos.hpp"

namespace kelvaron_bench
{
namespace
{

dds_entity_t checked(dds_entity_t entity, const char * what)
{
  if (entity < 0) {
    throw std::runtime_error(std::string(what) + ": " + dds_strretcode(entity));
  }
  return entity;
}

}  // namespace

RawParticipant::RawParticipant()
{
  const uint32_t domain_id = ros2_standin::domain_id_from_environment();
  const std::string config = ros2_standin::loopback_domain_config();
  domain_ = dds_create_domain(domain_id, config.c_str());
  // The stand-in may have created the domain of this process already: share it.
  if (domain_ < 0 && domain_ != DDS_RETCODE_PRECONDITION_NOT_MET) {
    checked(domain_, "dds_create_domain");
  }
  participant_ = checked(dds_create_participant(domain_id, nullptr, nullptr), "participant");
}

RawParticipant::~RawParticipant()
{
  dds_delete(participant_);
  if (domain_ > 0) {
    dds_delete(domain_);
  }
}

EventSample::EventSample(
  const std_msgs::msg::Header & header, int32_t event_id, int32_t event_status,
  std::string event_msg)
: frame_id_(header.frame_id), event_msg_(std::move(event_msg))
{
  sample_.header.stamp.sec = header.stamp.sec;
  sample_.header.stamp.nanosec = header.stamp.nanosec;
  sample_.event_id = event_id;
  sample_.event_status = event_status;
  pointAtOwnStrings();
}

EventSample::EventSample(const EventSample & other)
: frame_id_(other.frame_id_), event_msg_(other.event_msg_), sample_(other.sample_)
{
  pointAtOwnStrings();
}

void EventSample::pointAtOwnStrings()
{
  // idlc's strings are char *, though writing never modifies them.
  sample_.header.frame_id = frame_id_.data();
  sample_.event_msg = event_msg_.data();
}

RawEndpoint::RawEndpoint(
  const RawParticipant & participant, const std::string & ros_topic, Kind kind)
: kind_(kind)
{
  const ros2_standin::QosPtr topic_qos = ros2_standin::make_topic_qos();
  const std::string dds_name = "rt/" + ros_topic;
  topic_ = checked(
    dds_create_topic(
      participant.get(), &brimtale_protocol_msg_dds__DiagnosticEvent__desc, dds_name.c_str(),
      topic_qos.get(), nullptr),
    "dds_create_topic");
  const ros2_standin::QosPtr qos = ros2_standin::make_endpoint_qos(rclcpp::QoS(10));
  endpoint_ = checked(
    kind == Kind::kWriter ? dds_create_writer(participant.get(), topic_, qos.get(), nullptr)
                          : dds_create_reader(participant.get(), topic_, qos.get(), nullptr),
    "dds_create_writer/reader");
}

RawEndpoint::~RawEndpoint()
{
  dds_delete(endpoint_);
  dds_delete(topic_);
}

uint32_t RawEndpoint::matched() const
{
  if (kind_ == Kind::kWriter) {
    dds_publication_matched_status_t status{};
    return dds_get_publication_matched_status(endpoint_, &status) < 0 ? 0 : status.current_count;
  }
  dds_subscription_matched_status_t status{};
  return dds_get_subscription_matched_status(endpoint_, &status) < 0 ? 0 : status.current_count;
}

bool RawEndpoint::waitMatched(uint32_t count, std::chrono::milliseconds timeout) const
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (matched() < count) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace kelvaron_bench
