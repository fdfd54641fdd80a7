#pragma once

// How far a sampled level (memory, threads) moved after warm-up: the level at the end of the
// warm-up is the mean of the samples around that moment, and the drift is the sample after it
// farthest from that level, as a fraction of it.

#include <vector>

namespace kelvaron_soak
{

struct LevelSample
{
  double seconds;
  double value;
};

struct LevelDrift
{
  double start{0};
  double warm{0};  // the level the drift is measured from
  double end{0};
  double max_drift{0};  // signed: + grew, - shrank
  double max_drift_at_s{0};
  bool judged{false};  // samples on both sides of the warm-up's end
};

// `window_s` wide around `warm_up_s`.
LevelDrift measureDrift(
  const std::vector<LevelSample> & samples, double warm_up_s, double window_s);

}  // namespace kelvaron_soak
