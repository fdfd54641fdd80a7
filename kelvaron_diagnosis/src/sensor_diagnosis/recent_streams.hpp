#pragma once

#include <array>
#include <cstddef>
#include <string>

struct SensorState;
struct SensorThreshold;

namespace kelvaron
{

// The map entries of one topic; `threshold` is null while the topic is not registered.
struct StreamEntry
{
  SensorState * state{nullptr};
  const SensorThreshold * threshold{nullptr};
};

// Where the map entries of recently reported, registered topics live, so that a frame report
// hashes its topic once instead of looking it up in both maps. Both maps are node-based: inserts
// and rehashes keep element addresses, so a remembered entry stays valid until an entry is
// erased or a map is replaced, and the owner must then call forget().
class RecentStreams
{
public:
  // The remembered entry of `topic`, or one of null pointers.
  StreamEntry find(const std::string & topic) const;
  // Remembers `entry` for `topic`, evicting the least recently remembered topic of its set.
  void remember(const std::string & topic, const StreamEntry & entry);
  void forget();

private:
  struct Slot
  {
    std::size_t hash{0};
    std::string topic;
    StreamEntry entry;
  };
  // Two topics a set, so the twelve streams of a robot rarely evict each other.
  static constexpr std::size_t kSets = 32;
  using Set = std::array<Slot, 2>;

  static std::size_t hashOf(const std::string & topic);
  std::array<Set, kSets> sets_{};
};

}  // namespace kelvaron
