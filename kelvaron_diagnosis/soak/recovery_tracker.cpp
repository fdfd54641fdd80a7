#include "recovery_tracker.hpp"

#include <fmt/format.h>

namespace kelvaron_soak
{
namespace
{

constexpr uint8_t kOk = 0;

int levelOf(const std::optional<uint8_t> & level) { return level ? *level : -1; }

}  // namespace

void RecoveryTracker::wentDown(const std::string & topic)
{
  Stream & stream = streams_[topic];
  if (stream.waiting_since) {
    ++misses_;
    problems_.push_back(fmt::format(
      "{} at {:.1f} s: went down again without having read OK (last level {}: {})", topic,
      std::chrono::duration<double>(*stream.waiting_since - started_).count(),
      levelOf(stream.latest), stream.detail));
    history_[stream.history_index].last_level = levelOf(stream.latest);
  }
  stream.down = true;
  stream.outage_seen = false;
  stream.waiting_since.reset();
}

void RecoveryTracker::returned(const std::string & topic, SteadyTime when)
{
  Stream & stream = streams_[topic];
  const double at_s = std::chrono::duration<double>(when - started_).count();
  if (stream.ever_up && !stream.outage_seen) {
    ++unseen_outages_;
    problems_.push_back(
      fmt::format("{} at {:.1f} s: outage never read other than OK", topic, at_s));
  }
  stream.first = !stream.ever_up;
  stream.down = false;
  stream.ever_up = true;
  stream.waiting_since = when;
  stream.history_index = history_.size();
  history_.push_back({topic, at_s, stream.first, -1, -1});
  if (stream.first) {
    ++first_appearances_;
  } else {
    ++returns_;
  }
}

void RecoveryTracker::level(
  const std::string & topic, uint8_t level, SteadyTime when, const std::string & detail)
{
  Stream & stream = streams_[topic];
  stream.detail = detail;
  if (level != kOk) {
    stream.latest = level;
    stream.outage_seen = stream.outage_seen || stream.down;
    return;
  }
  if (!stream.waiting_since || when < *stream.waiting_since) {
    stream.latest = level;
    return;
  }
  const auto took =
    std::chrono::duration_cast<std::chrono::milliseconds>(when - *stream.waiting_since);
  stream.waiting_since.reset();
  Return & record = history_[stream.history_index];
  record.took_ms = took.count();
  record.last_level = levelOf(stream.latest);
  stream.latest = level;
  // A first appearance waits for the node's next look at the graph as well: only a return is
  // held to the limit.
  if (took > limit_ && !stream.first) {
    ++misses_;
    problems_.push_back(
      fmt::format("{} at {:.1f} s: read OK only after {} ms", topic, record.at_s, took.count()));
  }
  if (stream.first) {
    worst_first_ = std::max(worst_first_, took);
    return;
  }
  ++recovered_;
  total_ms_ += static_cast<double>(took.count());
  if (took > worst_) {
    worst_ = took;
    worst_topic_ = topic;
  }
}

void RecoveryTracker::expire(SteadyTime now)
{
  for (auto & [topic, stream] : streams_) {
    if (stream.waiting_since && now - *stream.waiting_since > limit_ * 3) {
      ++misses_;
      problems_.push_back(fmt::format(
        "{} at {:.1f} s: never read OK after its return (last level {}: {})", topic,
        std::chrono::duration<double>(*stream.waiting_since - started_).count(),
        levelOf(stream.latest), stream.detail));
      history_[stream.history_index].last_level = levelOf(stream.latest);
      stream.waiting_since.reset();
    }
  }
}

std::optional<uint8_t> RecoveryTracker::latestLevel(const std::string & topic) const
{
  const auto found = streams_.find(topic);
  return found == streams_.end() ? std::nullopt : found->second.latest;
}

}  // namespace kelvaron_soak
