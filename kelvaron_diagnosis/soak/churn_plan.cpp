#include "churn_plan.hpp"

#include <fmt/format.h>

namespace kelvaron_soak
{

const char * roleName(ChurnRole role)
{
  switch (role) {
    case ChurnRole::kRestarting:
      return "restarting";
    case ChurnRole::kTypeChanging:
      return "type-changing";
    case ChurnRole::kGoing:
      return "going";
    case ChurnRole::kLate:
      return "late";
  }
  return "?";
}

ChurnPlan::ChurnPlan(uint32_t seed, int count, double duration_s, ChurnTimes times)
: times_(times), random_(seed)
{
  constexpr int kTypeChanging = 4;
  constexpr int kGoing = 3;
  constexpr int kLate = 3;
  for (int i = 0; i < count; ++i) {
    ChurnTopic topic;
    topic.topic = fmt::format("/churn/s{:02d}", i);
    topic.stamped = i % 2 == 0;
    const int from_end = count - 1 - i;
    if (from_end < kLate) {
      topic.role = ChurnRole::kLate;
    } else if (from_end < kLate + kGoing) {
      topic.role = ChurnRole::kGoing;
    } else if (from_end < kLate + kGoing + kTypeChanging) {
      topic.role = ChurnRole::kTypeChanging;
    }
    // Staggered as drivers come up, so the node does not meet fifty new participants at once.
    topic.first_up_s = draw(0.5, 15);
    if (topic.role == ChurnRole::kLate) {
      topic.first_up_s = draw(0.2, 0.3) * duration_s;
    }
    if (topic.role == ChurnRole::kGoing) {
      topic.gone_at_s = draw(0.4, 0.6) * duration_s;
    }
    topics_.push_back(topic);
  }
}

double ChurnPlan::draw(double low, double high)
{
  return std::uniform_real_distribution<double>(low, high)(random_);
}

}  // namespace kelvaron_soak
