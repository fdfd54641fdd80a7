#include "topic_monitor.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <utility>

#include <fmt/format.h>
#include <yaml-cpp/yaml.h>
#include <logging/logger.hpp>
#include <rclcpp/node_interfaces/node_topics_interface.hpp>

#include "node_parameters.hpp"
#include "stamped_types.hpp"
#include "type_introspection.hpp"

namespace kelvaron::diag_node
{
namespace
{

// The file's text, read without blocking: a FIFO or device swapped in at the path would
// otherwise stop the node's loop, and with it its answer to SIGTERM.
std::optional<std::string> readRegularFile(const std::string & path)
{
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return std::nullopt;
  }
  struct stat info = {};
  std::optional<std::string> text;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    text.emplace();
    char buffer[8192];
    for (;;) {
      const ssize_t count = ::read(fd, buffer, sizeof(buffer));
      if (count > 0) {
        text->append(buffer, static_cast<std::size_t>(count));
      } else if (count == 0 || errno != EINTR) {
        break;
      }
    }
  }
  ::close(fd);
  return text;
}

}  // namespace

std::string graphName(const std::string & topic)
{
  return !topic.empty() && topic.front() == '/' ? topic : "/" + topic;
}

TopicMonitor::TopicMonitor(rclcpp::Node & node, Diagnosis & diagnosis, std::string config_path)
: node_(node)
, diagnosis_(diagnosis)
, config_path_(std::move(config_path))
, graph_event_(node_.get_graph_event())
{
  graph_event_->set();  // the first refresh looks at the graph
}

void TopicMonitor::refresh()
{
  const bool overrides_changed = rereadHeaderOverrides();
  std::vector<std::string> registered = diagnosis_.registeredTopics();
  // Cleared before the query, so that a change during it is looked at next time.
  const bool graph_changed = graph_event_->check_and_clear();
  if (!graph_changed && !overrides_changed && registered == registered_) {
    return;
  }
  registered_ = std::move(registered);
  const std::set<std::string> wanted(registered_.begin(), registered_.end());

  for (auto it = watched_.begin(); it != watched_.end();) {
    if (wanted.count(it->first) == 0) {
      LOG_INFO("No longer monitoring {}: not in the threshold file", it->first);
      it = watched_.erase(it);
    } else {
      ++it;
    }
  }

  // Names of topics dropped from the file would otherwise pile up over weeks of edits.
  if (resolved_.size() > registered_.size()) {
    resolved_.clear();
  }
  const auto graph = node_.get_topic_names_and_types();
  for (const std::string & topic : registered_) {
    const std::string & graph_name = resolved(topic);
    const auto found = graph.find(graph_name);
    const auto watched = watched_.find(topic);
    if (watched != watched_.end()) {
      if (found != graph.end() && followTypeChange(topic, graph_name, found->second)) {
        continue;
      }
      // Our own subscription keeps the first type in the graph, so any other type listed is a
      // publisher's new or second type.
      if (found != graph.end()) {
        for (const std::string & type : found->second) {
          if (type != watched->second.type) {
            warnOnce(
              topic, fmt::format(
                       "Topic {} is also published as {}: still monitored as {}", graph_name, type,
                       watched->second.type));
          }
        }
      }
      // An edited `header:` key takes effect through a new subscription.
      if (
        overrides_changed &&
        startsWithHeader(topic, watched->second.type) != watched->second.with_header) {
        subscribe(topic, watched->second.type);
      }
      continue;
    }
    // Subscribers alone (a viewer waiting for the stream) name a type but publish nothing: wait
    // for a publisher. Until then the library reads the stream STALE, then TIMEOUT.
    if (found == graph.end() || found->second.empty() || node_.count_publishers(graph_name) == 0) {
      continue;
    }
    const std::vector<std::string> & types = found->second;
    if (types.size() > 1) {
      warnOnce(
        topic, fmt::format(
                 "Topic {} has {} types ({}): monitored as {}", graph_name, types.size(),
                 fmt::join(types, ", "), types.front()));
    }
    subscribe(topic, types.front());
  }
}

bool TopicMonitor::followTypeChange(
  const std::string & topic, const std::string & graph_name,
  const std::vector<std::string> & graph_types)
{
  const std::string old_type = watched_.at(topic).type;
  // Only a topic that lists another type costs a second look at the graph.
  if (std::all_of(graph_types.begin(), graph_types.end(), [&](const std::string & type) {
        return type == old_type;
      })) {
    return false;
  }
  std::set<std::string> published;
  // By the name in the file, as for subscribe(): rclcpp resolves this one itself as well.
  for (const rclcpp::TopicEndpointInfo & info : node_.get_publishers_info_by_topic(topic)) {
    published.insert(info.topic_type());
  }
  if (published.empty() || published.count(old_type) != 0) {
    return false;
  }
  // DDS matches no publisher of the new type with a subscription of the old one: without a new
  // subscription the stream would never read normal again.
  const std::string & new_type = *published.begin();
  LOG_WARN(
    "Topic {} changed type from {} to {}: now monitored as {}", graph_name, old_type, new_type,
    new_type);
  // The old subscription goes first, so the node never holds the topic under two types.
  watched_.erase(topic);
  subscribe(topic, new_type);
  return true;
}

std::map<std::string, std::string> TopicMonitor::watchedTopics() const
{
  std::map<std::string, std::string> topics;
  for (const auto & [topic, watched] : watched_) {
    topics.emplace(topic, watched.type);
  }
  return topics;
}

void TopicMonitor::subscribe(const std::string & topic, std::string type)
{
  const bool with_header = startsWithHeader(topic, type);
  Watched watched;
  watched.type = type;
  watched.with_header = with_header;
  if (const auto existing = watched_.find(topic); existing != watched_.end()) {
    watched.history_depth = existing->second.history_depth;
  }
  const std::size_t depth = watched.history_depth;
  // Best effort and volatile match every publisher, reliable ones included, and never hold
  // one back.
  const rclcpp::QoS qos = rclcpp::QoS(depth).best_effort().durability_volatile();
  // Subscribed by the name in the file: rclcpp resolves it to resolved(topic) itself, where
  // resolving an already resolved name could apply a remapping rule twice.
  // Messages above this size make the history too deep for its byte bound; none can at depth 1.
  const std::size_t largest_fitting = depth > 1 ? kHistoryBytes / depth : SIZE_MAX;
  try {
    watched.subscription = node_.create_generic_subscription(
      topic, type, qos,
      [this, topic, with_header,
       largest_fitting](std::shared_ptr<rclcpp::SerializedMessage> message) {
        if (message->size() > largest_fitting) {
          std::size_t & largest = oversized_[topic];
          largest = std::max(largest, message->size());
        }
        onMessage(topic, with_header, *message);
      });
  } catch (const std::exception & error) {
    // Any process on the network may announce a type this machine has no support for, or a
    // name that is no ROS type at all: that topic goes unwatched (a subscription it had stays),
    // and the node carries on. The next change of the graph tries again.
    warnOnce(
      topic,
      fmt::format("Cannot monitor {} as {}: {}", resolved(topic), type, oneLine(error.what())));
    return;
  }
  watched_[topic] = std::move(watched);
  LOG_INFO(
    "Monitoring {} as {} ({})", resolved(topic), type,
    with_header ? "with its header" : "without header");
}

void TopicMonitor::shortenHistories()
{
  for (const auto & [topic, largest] : oversized_) {
    const auto watched = watched_.find(topic);
    const std::size_t depth = std::max<std::size_t>(1, kHistoryBytes / largest);
    if (watched == watched_.end() || depth >= watched->second.history_depth) {
      continue;
    }
    LOG_INFO(
      "Messages on {} are up to {} bytes: its history now holds {} of them", resolved(topic),
      largest, depth);
    watched->second.history_depth = depth;
    subscribe(topic, watched->second.type);
  }
  oversized_.clear();
}

void TopicMonitor::onMessage(
  const std::string & topic, bool with_header, const rclcpp::SerializedMessage & message)
{
  const rcl_serialized_message_t & raw = message.get_rcl_serialized_message();
  payload_reporter_.report(topic, with_header, raw.buffer, raw.buffer_length);
}

bool TopicMonitor::startsWithHeader(const std::string & topic, const std::string & type)
{
  const auto overridden = header_overrides_.find(topic);
  if (overridden != header_overrides_.end()) {
    return overridden->second;
  }
  // The list is certain for the types it names; introspection covers every other type.
  if (knownToStartWithHeader(type)) {
    return true;
  }
  return introspectStartsWithHeader(type).value_or(false);
}

bool TopicMonitor::rereadHeaderOverrides()
{
  // Only a regular file whose time moved is read again.
  const int64_t mtime = diagnosis_.getConfigFileModifiedTime(config_path_);
  if (mtime == 0 || mtime == overrides_mtime_) {
    return false;
  }
  overrides_mtime_ = mtime;
  std::map<std::string, bool> overrides;
  try {
    const std::optional<std::string> text = readRegularFile(config_path_);
    if (!text) {
      return false;
    }
    const YAML::Node sensors = YAML::Load(*text)["sensors"];
    if (sensors && sensors.IsMap()) {
      for (const auto & entry : sensors) {
        const YAML::Node header = entry.second.IsMap() ? entry.second["header"] : YAML::Node();
        if (!header) {
          continue;
        }
        const std::string topic = entry.first.as<std::string>();
        try {
          overrides[topic] = header.as<bool>();
        } catch (const YAML::Exception &) {
          warnOnce(topic, "Sensor '" + topic + "' has a header key that is not true or false");
        }
      }
    }
  } catch (const YAML::Exception &) {
    return false;  // the library reports the file's problems; keep the overrides we had
  }
  const bool changed = overrides != header_overrides_;
  header_overrides_ = std::move(overrides);
  return changed;
}

const std::string & TopicMonitor::resolved(const std::string & topic)
{
  auto found = resolved_.find(topic);
  if (found == resolved_.end()) {
    std::string name;
    try {
      name = node_.get_node_topics_interface()->resolve_topic_name(topic);
    } catch (const std::exception &) {
      name = graphName(topic);  // not a valid ROS name: never in the graph either
    }
    found = resolved_.emplace(topic, std::move(name)).first;
  }
  return found->second;
}

void TopicMonitor::warnOnce(const std::string & topic, const std::string & text)
{
  if (warned_.insert(topic + '\n' + text).second) {
    LOG_WARN("{}", text);
  }
}

}  // namespace kelvaron::diag_node
