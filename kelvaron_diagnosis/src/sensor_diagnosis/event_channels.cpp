#include <array>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/publish_fault.hpp"

namespace kelvaron
{
namespace
{

// Checked on every health publication, so the common case is one relaxed atomic load.
std::atomic<bool> g_fault_installed{false};
std::mutex g_fault_mutex;
std::shared_ptr<const std::function<void()>> g_publish_fault;

}  // namespace

void runPublishFaultHook()
{
  if (!g_fault_installed.load(std::memory_order_relaxed)) {
    return;
  }
  std::shared_ptr<const std::function<void()>> fault;
  {
    std::lock_guard<std::mutex> lock(g_fault_mutex);
    fault = g_publish_fault;
  }
  if (fault) {
    (*fault)();
  }
}

void setPublishFaultForTesting(std::function<void()> fault)
{
  std::lock_guard<std::mutex> lock(g_fault_mutex);
  g_publish_fault =
    fault ? std::make_shared<const std::function<void()>>(std::move(fault)) : nullptr;
  g_fault_installed.store(g_publish_fault != nullptr, std::memory_order_relaxed);
}

}  // namespace kelvaron

void Diagnosis::createChannels()
{
  struct Channel
  {
    std::shared_ptr<rclcpp::Node> Diagnosis::*node;
    std::shared_ptr<EventPublisher> Diagnosis::*publisher;
    const char * node_name;
    const char * topic;
  };
  static constexpr std::array<Channel, 3> kChannels{{
    {&Diagnosis::sensor_proxy_node_, &Diagnosis::sensor_proxy_publisher_,
     "diagnosis_Sensor_Proxy_node", "sensor_proxy_diag_topic"},
    {&Diagnosis::chassis_pnc_node_, &Diagnosis::chassis_pnc_publisher_,
     "diagnosis_Chassis_PnC_node", "chassis_pnc_diag_topic"},
    {&Diagnosis::chassis_loc_node_, &Diagnosis::chassis_loc_publisher_,
     "diagnosis_Chassis_Loc_node", "chassis_loc_diag_topic"},
  }};

  // Stores happen under data_mutex_, so a running timer never publishes through a member
  // that is being replaced; the old entity is released as it is replaced.
  for (const Channel & channel : kChannels) {
    auto node = std::make_shared<rclcpp::Node>(channel.node_name);
    {
      std::lock_guard<std::mutex> lock(data_mutex_);
      this->*channel.node = node;
    }
    auto publisher = node->create_publisher<brimtale_protocol::msg::DiagnosticEvent>(
      channel.topic, rclcpp::QoS(10));
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
    kelvaron::runPublishFaultHook();
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
