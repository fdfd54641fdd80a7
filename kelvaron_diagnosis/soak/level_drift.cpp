#include "level_drift.hpp"

#include <cmath>

namespace kelvaron_soak
{

LevelDrift measureDrift(const std::vector<LevelSample> & samples, double warm_up_s, double window_s)
{
  LevelDrift drift;
  if (samples.empty()) {
    return drift;
  }
  drift.start = samples.front().value;
  drift.end = samples.back().value;
  double sum = 0;
  int count = 0;
  for (const LevelSample & sample : samples) {
    if (std::abs(sample.seconds - warm_up_s) <= window_s / 2) {
      sum += sample.value;
      ++count;
    }
  }
  if (count == 0 || sum <= 0) {
    return drift;
  }
  drift.warm = sum / count;
  for (const LevelSample & sample : samples) {
    if (sample.seconds <= warm_up_s) {
      continue;
    }
    drift.judged = true;
    const double relative = (sample.value - drift.warm) / drift.warm;
    if (std::abs(relative) > std::abs(drift.max_drift)) {
      drift.max_drift = relative;
      drift.max_drift_at_s = sample.seconds;
    }
  }
  return drift;
}

}  // namespace kelvaron_soak
