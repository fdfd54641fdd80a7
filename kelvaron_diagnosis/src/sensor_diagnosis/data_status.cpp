#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "logging/logger.hpp"
#include "sensor_diagnosis.hpp"
#include "sensor_diagnosis/dependencies.hpp"
#include "sensor_diagnosis/ros_diagnostics.hpp"
#include "sensor_diagnosis/status_catalogue.hpp"

bool Diagnosis::DataStatusReport(AbnormalEventType kind, int status)
{
  if (!initialized_.load() && !autoInitialize()) {
    LOG_ERROR("Failed to auto-initialize diagnosis system");
    return false;
  }
  std::lock_guard<std::mutex> lock(data_mutex_);
  // Before simulated time has started no report can be dated, so none is held back (a state
  // change reported then must not be lost) and none starts the one-second limit.
  const std::optional<int64_t> now_ms = dependencies_->nowMs();
  const kelvaron::StatusKind & entry = kelvaron::statusKind(kind);
  if (
    now_ms &&
    !kelvaron::admitStatusReport(status_report_times_, kelvaron::statusKey(kind), *now_ms)) {
    return false;
  }
  const auto kind_index = static_cast<std::size_t>(kind);
  if (kind_index < ros_diagnostics_->data_statuses.size()) {
    ros_diagnostics_->data_statuses[kind_index] = {true, status, now_ms};
  }

  std_msgs::msg::Header header;
  header.stamp = dependencies_->stampNow();
  // Any status but 0 is abnormal; subscribers see the status exactly as the host gave it.
  fillEvent(header, entry.event_id, status, status == 0 ? entry.normal_text : entry.abnormal_text);

  EventPublisher * publisher = nullptr;
  switch (entry.channel) {
    case kelvaron::StatusChannel::kSensorProxy:
      publisher = sensor_proxy_publisher_.get();
      break;
    case kelvaron::StatusChannel::kChassisPnc:
      publisher = chassis_pnc_publisher_.get();
      break;
    case kelvaron::StatusChannel::kChassisLoc:
      publisher = chassis_loc_publisher_.get();
      break;
    case kelvaron::StatusChannel::kNone:
      break;
  }
  if (publisher) {
    publisher->publish(diag_msg_);
  }
  LOG_INFO(
    "event_id:{}, event_status:{}, event_msg:{}", diag_msg_.event_id, diag_msg_.event_status,
    diag_msg_.event_msg);
  return true;
}
