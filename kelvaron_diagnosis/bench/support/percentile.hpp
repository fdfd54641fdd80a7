#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kelvaron_bench
{

// The value below which `share` (0 to 1) of `values` lie; 0 for none.
inline double percentile(std::vector<double> values, double share)
{
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(values.size() * share))];
}

}  // namespace kelvaron_bench
