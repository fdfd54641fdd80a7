#include "graph_change_notifier.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "names.hpp"

namespace ros2_standin
{

GraphChangeNotifier::GraphChangeNotifier(dds_entity_t participant)
{
  dds_listener_t * listener = dds_create_listener(this);
  dds_lset_data_available(listener, &GraphChangeNotifier::on_data_available);
  for (const dds_entity_t builtin_topic :
       {DDS_BUILTIN_TOPIC_DCPSPUBLICATION, DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION}) {
    const dds_entity_t reader = dds_create_reader(participant, builtin_topic, nullptr, listener);
    if (reader < 0) {
      dds_delete_listener(listener);
      for (const dds_entity_t created : readers_) {
        dds_delete(created);
      }
      throw std::runtime_error(
        std::string("failed to watch the ROS graph: ") + dds_strretcode(reader));
    }
    readers_.push_back(reader);
  }
  dds_delete_listener(listener);
}

GraphChangeNotifier::~GraphChangeNotifier()
{
  // Gone already when the participant went; otherwise this waits for the listener to return.
  for (const dds_entity_t reader : readers_) {
    dds_delete(reader);
  }
}

void GraphChangeNotifier::add(const std::shared_ptr<rclcpp::Event> & event)
{
  std::lock_guard<std::mutex> lock(mutex_);
  // Events of nodes that are gone would otherwise pile up as nodes come and go.
  events_.erase(
    std::remove_if(
      events_.begin(), events_.end(), [](const auto & known) { return known.expired(); }),
    events_.end());
  events_.push_back(event);
}

void GraphChangeNotifier::notify_all()
{
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto & weak : events_) {
    if (const auto event = weak.lock()) {
      event->set();
    }
  }
}

void GraphChangeNotifier::on_data_available(dds_entity_t reader, void * notifier)
{
  static_cast<GraphChangeNotifier *>(notifier)->take_changes(reader);
}

void GraphChangeNotifier::take_changes(dds_entity_t reader)
{
  // Cyclone announces every reader, each graph query's built-in one included, and announces
  // the endpoints it knows again to each new one: only a ROS topic's endpoint appearing or going
  // changes the ROS graph. Taking the samples keeps the reader down to one instance per live
  // endpoint however long the domain churns.
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(endpoints_mutex_);
    constexpr size_t kBatch = 64;
    dds_return_t taken = 0;
    do {
      void * samples[kBatch] = {};
      dds_sample_info_t infos[kBatch];
      taken = dds_take(reader, samples, infos, kBatch, kBatch);
      for (dds_return_t i = 0; i < taken; ++i) {
        const dds_instance_handle_t endpoint = infos[i].instance_handle;
        if (infos[i].instance_state != DDS_IST_ALIVE) {
          changed = ros_endpoints_.erase(endpoint) > 0 || changed;
          continue;
        }
        const auto * announced = static_cast<const dds_builtintopic_endpoint_t *>(samples[i]);
        if (
          infos[i].valid_data && announced->topic_name != nullptr &&
          ros_topic_name(announced->topic_name)) {
          changed = ros_endpoints_.insert(endpoint).second || changed;
        }
      }
      if (taken > 0) {
        dds_return_loan(reader, samples, taken);
      }
    } while (taken == static_cast<dds_return_t>(kBatch));
  }
  if (changed) {
    notify_all();
  }
}

}  // namespace ros2_standin
