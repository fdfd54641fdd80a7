#pragma once

// The churn of the node soak: which topics there are, what each does over the run, and when its
// publisher next goes up or down, all drawn from one seed so a run can be repeated.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kelvaron_soak
{

enum class ChurnRole
{
  kRestarting,    // up a few seconds, down a few seconds, same type every time
  kTypeChanging,  // as kRestarting, but every return publishes the other type
  kGoing,         // as kRestarting until it goes away for good
  kLate,          // first published minutes in, then as kRestarting
};

const char * roleName(ChurnRole role);

struct ChurnTopic
{
  std::string topic;
  ChurnRole role{ChurnRole::kRestarting};
  bool stamped{true};    // the type of its first publisher
  double first_up_s{0};  // since the start of the run
  double gone_at_s{-1};  // kGoing only: no restart after this
};

struct ChurnTimes
{
  double min_up_s{3};
  double max_up_s{8};
  double min_down_s{2};
  double max_down_s{5};
};

class ChurnPlan
{
public:
  // `count` topics named /churn/sNN: four change type, three go away for good around mid-run,
  // three appear only after a fifth of the run; the rest restart.
  ChurnPlan(uint32_t seed, int count, double duration_s, ChurnTimes times);

  const std::vector<ChurnTopic> & topics() const { return topics_; }
  double nextUpSeconds() { return draw(times_.min_up_s, times_.max_up_s); }
  double nextDownSeconds() { return draw(times_.min_down_s, times_.max_down_s); }

private:
  double draw(double low, double high);

  ChurnTimes times_;
  std::mt19937 random_;
  std::vector<ChurnTopic> topics_;
};

}  // namespace kelvaron_soak
