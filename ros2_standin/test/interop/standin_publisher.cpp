// The stand-in side of the interop test: the library's three publishing nodes, each with its
// topic, publishing the agreed events once the test says its Fast DDS readers are ready; or,
// with "diagnostics", one node publishing the agreed diagnostic arrays on /diagnostics.
//   interop_standin_publisher STEP_DIRECTORY [diagnostics]
// Exit status 0 on success; 2 no subscriber matched, 3 no "go", 4 not acknowledged,
// 5 no "done".

#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "interop_events.hpp"
#include "rclcpp/rclcpp.hpp"
#include "step_files.hpp"
#include "wait_until.hpp"

namespace
{

using brimtale_protocol::msg::DiagnosticEvent;
using diagnostic_msgs::msg::DiagnosticArray;

// Longer than the test's own deadlines, so that the test reports a failure first.
constexpr std::chrono::seconds kStepDeadline{30};
// The test reads discovery information after the events; this only ends an abandoned run.
constexpr std::chrono::seconds kLingerDeadline{120};

DiagnosticEvent to_message(const interop::EventFields & fields)
{
  DiagnosticEvent event;
  event.header.stamp.sec = fields.sec;
  event.header.stamp.nanosec = fields.nanosec;
  event.header.frame_id = fields.frame_id;
  event.event_id = fields.event_id;
  event.event_status = fields.event_status;
  event.event_msg = fields.event_msg;
  return event;
}

DiagnosticArray to_message(const interop::DiagnosticArrayFields & fields)
{
  DiagnosticArray array;
  array.header.stamp.sec = fields.sec;
  array.header.stamp.nanosec = fields.nanosec;
  array.header.frame_id = fields.frame_id;
  for (const auto & status_fields : fields.status) {
    diagnostic_msgs::msg::DiagnosticStatus status;
    status.level = status_fields.level;
    status.name = status_fields.name;
    status.message = status_fields.message;
    status.hardware_id = status_fields.hardware_id;
    for (const auto & value_fields : status_fields.values) {
      diagnostic_msgs::msg::KeyValue value;
      value.key = value_fields.key;
      value.value = value_fields.value;
      status.values.push_back(value);
    }
    array.status.push_back(status);
  }
  return array;
}

int run_diagnostics(const std::string & step_directory)
{
  auto node = std::make_shared<rclcpp::Node>(interop::kDiagnosticsNode);
  auto publisher =
    node->create_publisher<DiagnosticArray>(interop::kDiagnosticsTopic, rclcpp::QoS(10));
  if (!standin_test::wait_until(
        [&] { return publisher->get_subscription_count() > 0; }, kStepDeadline)) {
    return 2;
  }
  std::cout << "matched" << std::endl;
  if (!standin_test::wait_until(
        [&] { return interop::step_reached(step_directory, interop::kStepGo); }, kStepDeadline)) {
    return 3;
  }
  for (const auto & fields : interop::diagnostic_arrays()) {
    publisher->publish(to_message(fields));
  }
  if (!publisher->wait_for_all_acked(kStepDeadline)) {
    return 4;
  }
  std::cout << "published" << std::endl;
  return standin_test::wait_until(
           [&] { return interop::step_reached(step_directory, interop::kStepDone); },
           kLingerDeadline)
           ? 0
           : 5;
}

int run(const std::string & step_directory)
{
  std::vector<rclcpp::Node::SharedPtr> nodes;
  std::vector<rclcpp::Publisher<DiagnosticEvent>::SharedPtr> publishers;
  for (const auto & topic : interop::topics()) {
    nodes.push_back(std::make_shared<rclcpp::Node>(topic.node));
    publishers.push_back(
      nodes.back()->create_publisher<DiagnosticEvent>(topic.topic, rclcpp::QoS(10)));
  }
  const auto all_matched = [&] {
    for (const auto & publisher : publishers) {
      if (publisher->get_subscription_count() == 0) {
        return false;
      }
    }
    return true;
  };
  if (!standin_test::wait_until(all_matched, kStepDeadline)) {
    return 2;
  }
  std::cout << "matched" << std::endl;
  // Matching on our side does not mean the reader has matched us: wait for the test's word.
  if (!standin_test::wait_until(
        [&] { return interop::step_reached(step_directory, interop::kStepGo); }, kStepDeadline)) {
    return 3;
  }
  for (std::size_t i = 0; i < publishers.size(); ++i) {
    for (const auto & fields : interop::topics()[i].events) {
      publishers[i]->publish(to_message(fields));
    }
  }
  for (const auto & publisher : publishers) {
    if (!publisher->wait_for_all_acked(kStepDeadline)) {
      return 4;
    }
  }
  std::cout << "published" << std::endl;

  rclcpp::Node::SharedPtr late_node;
  rclcpp::Publisher<DiagnosticEvent>::SharedPtr late_publisher;
  const auto done = [&] {
    if (!late_node && interop::step_reached(step_directory, interop::kStepAddNode)) {
      late_node = std::make_shared<rclcpp::Node>("interop_late_node");
      late_publisher =
        late_node->create_publisher<DiagnosticEvent>("interop_late_topic", rclcpp::QoS(10));
      std::cout << "node added" << std::endl;
    }
    return interop::step_reached(step_directory, interop::kStepDone);
  };
  return standin_test::wait_until(done, kLingerDeadline) ? 0 : 5;
}

}  // namespace

int main(int argc, char ** argv)
{
  const bool diagnostics = argc == 3 && std::string(argv[2]) == "diagnostics";
  if (argc != 2 && !diagnostics) {
    std::cerr << "usage: interop_standin_publisher STEP_DIRECTORY [diagnostics]\n";
    return 64;
  }
  rclcpp::init(argc, argv);
  const int status = diagnostics ? run_diagnostics(argv[1]) : run(argv[1]);
  rclcpp::shutdown();
  return status;
}
