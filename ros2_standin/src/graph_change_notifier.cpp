#include "graph_change_notifier.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

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
  // The samples only announce a change; the graph queries read the endpoints afresh. Taking
  // them keeps the reader empty however long the domain churns.
  constexpr size_t kBatch = 64;
  dds_return_t taken = 0;
  do {
    void * samples[kBatch] = {};
    dds_sample_info_t infos[kBatch];
    taken = dds_take(reader, samples, infos, kBatch, kBatch);
    if (taken > 0) {
      dds_return_loan(reader, samples, taken);
    }
  } while (taken == static_cast<dds_return_t>(kBatch));
  static_cast<GraphChangeNotifier *>(notifier)->notify_all();
}

}  // namespace ros2_standin
