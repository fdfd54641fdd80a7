#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <rclcpp/generic_subscription.hpp>
#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

#include "payload_report.hpp"

namespace kelvaron::diag_node
{

// Keeps one generic subscription on every topic the Diagnosis object has registered, and turns
// each message into one frame report.
class TopicMonitor
{
public:
  // History deep enough that a burst between two spins of this node loses no frame ...
  static constexpr std::size_t kHistoryDepth = 100;
  // ... but a slow moment on a topic of large messages must not hold hundreds of MB: a topic's
  // history is cut to what fits this many bytes (always at least one message).
  static constexpr std::size_t kHistoryBytes = std::size_t{16} << 20U;

  TopicMonitor(rclcpp::Node & node, Diagnosis & diagnosis, std::string config_path);

  // Follows the registered topics and the ROS graph: subscribes to a registered topic once a
  // publisher has made its type known, and drops the subscription of a topic that is no longer
  // registered. Called about once a second; it returns at once when neither the graph, the
  // registered topics nor the file's header keys changed since the last call.
  void refresh();

  // Re-subscribes, with a shorter history, each topic whose messages turned out too large for
  // its history's byte bound. Cheap when there is none; called between messages.
  void boundHistories()
  {
    if (!oversized_.empty()) {
      shortenHistories();
    }
  }

  // Topics subscribed now, with the type each is read as.
  std::map<std::string, std::string> watchedTopics() const;
  // Messages of stamped types whose header could not be read (reported without it).
  uint64_t malformedHeaders() const { return payload_reporter_.unreadHeaders(); }

private:
  struct Watched
  {
    std::string type;
    bool with_header{false};
    std::size_t history_depth{kHistoryDepth};
    std::shared_ptr<rclcpp::GenericSubscription> subscription;
  };

  // Keeps the topic's current history depth when it is subscribed already.
  void subscribe(const std::string & topic, std::string type);
  void shortenHistories();
  // Re-subscribes a watched topic whose publishers all came back with another type; returns
  // whether it did.
  bool followTypeChange(
    const std::string & topic, const std::string & graph_name,
    const std::vector<std::string> & graph_types);
  void onMessage(
    const std::string & topic, bool with_header, const rclcpp::SerializedMessage & message);
  bool startsWithHeader(const std::string & topic, const std::string & type);
  // Returns whether the overrides changed.
  bool rereadHeaderOverrides();
  void warnOnce(const std::string & topic, const std::string & text);
  // The graph's name for a topic of the file, as the node resolves it (namespace, remapping).
  const std::string & resolved(const std::string & topic);

  rclcpp::Node & node_;
  Diagnosis & diagnosis_;
  std::string config_path_;
  // Set by rclcpp on every change of the graph: a graph query costs milliseconds in a graph of
  // thousands of topics, so an unchanged graph is not queried again.
  rclcpp::Event::SharedPtr graph_event_;
  std::vector<std::string> registered_;
  int64_t overrides_mtime_{0};
  std::map<std::string, bool> header_overrides_;
  std::map<std::string, Watched> watched_;
  std::set<std::string> warned_;
  std::map<std::string, std::string> resolved_;
  // Largest message seen per topic whose history cannot hold kHistoryDepth of them.
  std::map<std::string, std::size_t> oversized_;
  PayloadReporter payload_reporter_{diagnosis_};
};

// The graph's name for a topic of the threshold file in the root namespace ("scan" and
// "/scan" are one topic).
std::string graphName(const std::string & topic);

}  // namespace kelvaron::diag_node
