#pragma once

// What loading a threshold document must leave in force, worked out from the document alone
// with the file format's own rules, independently of the loader's code paths.

#include <optional>
#include <string>
#include <unordered_map>

#include "sensor_diagnosis.hpp"

namespace kelvaron_fuzz
{

using ThresholdMap = std::unordered_map<std::string, SensorThreshold>;

// The document's thresholds when a load of it must succeed; nullopt when it must fail.
std::optional<ThresholdMap> expectedThresholds(const std::string & document);

// Equal field by field, floats compared by bit pattern (a NaN from ".nan" equals itself).
bool sameThresholds(const ThresholdMap & a, const ThresholdMap & b);

// A short description for failure messages: the entry count and a few topics.
std::string describe(const ThresholdMap & thresholds);

}  // namespace kelvaron_fuzz
