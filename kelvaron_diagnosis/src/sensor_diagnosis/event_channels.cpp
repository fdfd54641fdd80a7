#include <array>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "kelvaron_diagnosis/event_catalog.hpp"
#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/dependencies.hpp"

void Diagnosis::createChannels()
{
  struct ChannelMembers
  {
    kelvaron::Channel channel;
    std::shared_ptr<rclcpp::Node> Diagnosis::*node;
    std::shared_ptr<EventPublisher> Diagnosis::*publisher;
  };
  static constexpr std::array<ChannelMembers, 3> kChannelMembers{{
    {kelvaron::Channel::kSensorProxy, &Diagnosis::sensor_proxy_node_,
     &Diagnosis::sensor_proxy_publisher_},
    {kelvaron::Channel::kChassisPnc, &Diagnosis::chassis_pnc_node_,
     &Diagnosis::chassis_pnc_publisher_},
    {kelvaron::Channel::kChassisLoc, &Diagnosis::chassis_loc_node_,
     &Diagnosis::chassis_loc_publisher_},
  }};

  // Stores happen under data_mutex_, so a running timer never publishes through a member
  // that is being replaced; the old entity is released as it is replaced.
  for (const ChannelMembers & channel : kChannelMembers) {
    const kelvaron::ChannelInfo & names = kelvaron::channelInfo(channel.channel);
    auto node = std::make_shared<rclcpp::Node>(std::string(names.node_name));
    const bool simulated =
      channel.channel == kelvaron::Channel::kSensorProxy && kelvaron::followsSimulatedTime(*node);
    {
      std::lock_guard<std::mutex> lock(data_mutex_);
      this->*channel.node = node;
      // A host that runs its process with use_sim_time gets simulated time without a call of
      // its own; a host node, when given, has decided already.
      if (simulated && !dependencies_->host_node_given) {
        dependencies_->ros_clock = node->get_clock();
        LOG_INFO("Timing streams by /clock (use_sim_time of {})", node->get_fully_qualified_name());
      }
    }
    auto publisher = node->create_publisher<brimtale_protocol::msg::DiagnosticEvent>(
      std::string(names.topic), rclcpp::QoS(10));
    {
      std::lock_guard<std::mutex> lock(data_mutex_);
      this->*channel.publisher = std::move(publisher);
    }
  }
}

void Diagnosis::fillEvent(
  const std_msgs::msg::Header & header, int32_t event_id, int32_t event_status,
  std::string_view event_msg)
{
  diag_msg_.header = header;
  diag_msg_.event_id = event_id;
  diag_msg_.event_status = event_status;
  diag_msg_.event_msg.assign(event_msg.data(), event_msg.size());
}

void Diagnosis::publishHealthEvent()
{
  // A host that starts the timer before initialising has no channel yet: judge, publish nothing.
  if (!sensor_proxy_publisher_) {
    return;
  }
  // The timer thread must outlive a failing middleware: report the first failure and the
  // recovery, not one line per pass.
  try {
    if (dependencies_->publish_fault) {
      dependencies_->publish_fault();
    }
    sensor_proxy_publisher_->publish(diag_msg_);
    if (health_publish_failing_) {
      health_publish_failing_ = false;
      LOG_INFO("Publishing diagnostic events works again");
    }
  } catch (const std::exception & error) {
    if (!health_publish_failing_) {
      health_publish_failing_ = true;
      LOG_ERROR("Failed to publish diagnostic event: {}", error.what());
    }
  } catch (...) {
    if (!health_publish_failing_) {
      health_publish_failing_ = true;
      LOG_ERROR("Failed to publish diagnostic event: unknown error");
    }
  }
}
