// Arbitrary bytes as the threshold file of a running object. A reload of them must leave the
// file's thresholds in force when the file is valid and exactly the previous ones otherwise;
// a direct load of the same bytes must agree and never change anything when it fails. Frame
// reports before and after each load must find exactly the topics then in force.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/diagnosis_test_access.hpp"
#include "threshold_oracle.hpp"

namespace
{

using kelvaron_fuzz::describe;
using kelvaron_fuzz::fail;
using kelvaron_fuzz::require;
using kelvaron_fuzz::sameThresholds;
using kelvaron_fuzz::ThresholdMap;

// Two sensors, so that a rollback that keeps only part of the map shows.
constexpr const char * kKnownGood =
  "sensors:\n"
  "  /scan_01:\n"
  "    normal_hz: 15.0\n"
  "    low_ratio: 0.6\n"
  "    cutoff_timeout_ms: 500\n"
  "    cutoff_recovery_threshold: 5\n"
  "    abnormal_duration_ms: 2000\n"
  "  /imu/data:\n"
  "    normal_hz: 100.0\n"
  "    low_ratio: 0.8\n"
  "    cutoff_timeout_ms: 200\n"
  "    cutoff_recovery_threshold: 10\n"
  "    abnormal_duration_ms: 1000\n";

// Reports one frame of every topic that was or is in force; each must be accepted exactly when
// its topic is registered now.
void reportEveryTopic(Diagnosis & diagnosis, const ThresholdMap & earlier, const char * when)
{
  const ThresholdMap now = DiagnosisTestAccess::thresholds(diagnosis);
  const std_msgs::msg::Header header;
  for (const ThresholdMap * topics : {&earlier, &now}) {
    for (const auto & entry : *topics) {
      const bool accepted = diagnosis.SensorReportWithHeader(entry.first, header);
      if (accepted != (now.count(entry.first) > 0)) {
        fail(
          std::string("a frame of '") + entry.first + "' was " +
          (accepted ? "accepted" : "refused") + " " + when);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  kelvaron_fuzz::silenceLibraryConsole();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t * data, std::size_t size)
{
  static const kelvaron_fuzz::ScratchFile file("sensor_thresholds.yaml");
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  const auto expected = kelvaron_fuzz::expectedThresholds(bytes);

  Diagnosis diagnosis;
  file.write(kKnownGood);
  require(diagnosis.initializeFromConfig(file.path()), "the known-good file did not load");
  const ThresholdMap before = DiagnosisTestAccess::thresholds(diagnosis);
  const int64_t mtime_before = DiagnosisTestAccess::lastConfigMtime(diagnosis);
  // Reports without channels: the object only records, which is all the check needs.
  DiagnosisTestAccess::markInitialized(diagnosis);
  reportEveryTopic(diagnosis, before, "before the reload");

  file.write(bytes);
  const int64_t mtime_of_bytes = diagnosis.getConfigFileModifiedTime(file.path());
  const bool reloaded = diagnosis.reloadConfig();
  const ThresholdMap after = DiagnosisTestAccess::thresholds(diagnosis);
  if (reloaded != expected.has_value()) {
    fail(std::string("reload ") + (reloaded ? "accepted an invalid" : "refused a valid") + " file");
  }
  if (reloaded) {
    if (!sameThresholds(after, *expected)) {
      fail(
        "after a successful reload: " + describe(after) + ", the file has " + describe(*expected));
    }
    require(
      DiagnosisTestAccess::lastConfigMtime(diagnosis) == mtime_of_bytes,
      "a successful reload did not record the file's time");
  } else {
    if (!sameThresholds(after, before)) {
      fail("a failed reload left " + describe(after) + " instead of " + describe(before));
    }
    require(
      DiagnosisTestAccess::lastConfigMtime(diagnosis) == mtime_before,
      "a failed reload moved the recorded time");
  }
  require(
    DiagnosisTestAccess::everyThresholdHasState(diagnosis), "a registered topic has no state");
  reportEveryTopic(diagnosis, before, "after the reload");
  require(
    DiagnosisTestAccess::configFilePath(diagnosis) == file.path(),
    "a reload changed the remembered path");

  // The direct load has no rollback: it must fail without touching anything.
  const bool loaded = diagnosis.loadConfigFromFile(file.path());
  require(loaded == reloaded, "the direct load and the reload of the same bytes disagree");
  const ThresholdMap after_direct_load = DiagnosisTestAccess::thresholds(diagnosis);
  if (!sameThresholds(after_direct_load, after)) {
    fail(
      "a direct load of the same bytes changed the thresholds to " + describe(after_direct_load));
  }
  reportEveryTopic(diagnosis, before, "after the direct load");
  return 0;
}
