#pragma once

// Judges the node from its /diagnostics: every stream that returns (a publisher's first message
// after a restart) must read OK within a limit, every stream that appears must read OK while it
// is up, and every outage must read other than OK before the stream returns.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelvaron_soak
{

using SteadyTime = std::chrono::steady_clock::time_point;

class RecoveryTracker
{
public:
  explicit RecoveryTracker(std::chrono::milliseconds limit) : limit_(limit) {}

  // The publisher of `topic` went down (the stream's outage starts).
  void wentDown(const std::string & topic);
  // The new publisher of `topic` published its first message at `when`.
  void returned(const std::string & topic, SteadyTime when);
  // A /diagnostics status of `topic`, received at `when`; `detail` (its message and rate) is
  // quoted when the stream misses.
  void level(const std::string & topic, uint8_t level, SteadyTime when, const std::string & detail);
  // Closes the returns still waiting by `now`: those past the limit are misses.
  void expire(SteadyTime now);

  struct Return
  {
    std::string topic;
    double at_s;
    bool first;       // the topic's first appearance
    int64_t took_ms;  // -1: never read OK before it went down or expired
    int last_level;   // the level read last before it read OK or gave up (-1: none)
  };
  const std::vector<Return> & history() const { return history_; }
  int firstAppearances() const { return first_appearances_; }
  std::chrono::milliseconds worstFirst() const { return worst_first_; }

  int returns() const { return returns_; }
  int recovered() const { return recovered_; }
  std::chrono::milliseconds worst() const { return worst_; }
  std::string worstTopic() const { return worst_topic_; }
  double meanMs() const { return recovered_ > 0 ? total_ms_ / recovered_ : 0; }
  // "topic at T s: ..." for every miss and every outage that never read other than OK.
  const std::vector<std::string> & problems() const { return problems_; }
  int misses() const { return misses_; }
  int unseenOutages() const { return unseen_outages_; }
  // The latest level read for `topic`, if any.
  std::optional<uint8_t> latestLevel(const std::string & topic) const;

private:
  struct Stream
  {
    std::optional<SteadyTime> waiting_since;  // returned, not read OK yet
    std::size_t history_index{0};
    bool first{false};
    bool down{false};
    bool outage_seen{false};  // read other than OK since it went down
    bool ever_up{false};
    std::optional<uint8_t> latest;
    std::string detail;
  };

  std::chrono::milliseconds limit_;
  SteadyTime started_{std::chrono::steady_clock::now()};
  std::map<std::string, Stream> streams_;
  std::vector<Return> history_;
  int first_appearances_{0};
  std::chrono::milliseconds worst_first_{0};
  int returns_{0};
  int recovered_{0};
  int misses_{0};
  int unseen_outages_{0};
  double total_ms_{0};
  std::chrono::milliseconds worst_{0};
  std::string worst_topic_;
  std::vector<std::string> problems_;
};

}  // namespace kelvaron_soak
