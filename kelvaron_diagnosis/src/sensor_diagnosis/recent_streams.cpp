#include "sensor_diagnosis/recent_streams.hpp"

#include <functional>
#include <utility>

namespace kelvaron
{

std::size_t RecentStreams::hashOf(const std::string & topic)
{
  return std::hash<std::string>{}(topic);
}

StreamEntry RecentStreams::find(const std::string & topic) const
{
  const std::size_t hash = hashOf(topic);
  for (const Slot & slot : sets_[hash % kSets]) {
    if (slot.entry.state != nullptr && slot.hash == hash && slot.topic == topic) {
      return slot.entry;
    }
  }
  return {};
}

void RecentStreams::remember(const std::string & topic, const StreamEntry & entry)
{
  const std::size_t hash = hashOf(topic);
  Set & set = sets_[hash % kSets];
  // The newest topic sits in the first way; a topic remembered again just takes its new entry.
  if (set[0].entry.state == nullptr || (set[0].hash == hash && set[0].topic == topic)) {
    set[0] = Slot{hash, topic, entry};
    return;
  }
  set[1] = std::move(set[0]);
  set[0] = Slot{hash, topic, entry};
}

void RecentStreams::forget()
{
  for (Set & set : sets_) {
    for (Slot & slot : set) {
      slot.entry = StreamEntry{};
    }
  }
}

}  // namespace kelvaron
