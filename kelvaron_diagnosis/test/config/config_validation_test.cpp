// validateConfig on small documents: which lines appear, in which order, and the result.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <string>
#include <vector>

#include "config_test_support.hpp"
#include "sensor_diagnosis.hpp"
#include "support/console_capture.hpp"

namespace
{

using config_test::dataFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Outcome
{
  bool valid;
  std::vector<std::string> err;
  std::vector<std::string> out;
};

Outcome validate(const std::string & name)
{
  Diagnosis diagnosis;
  const YAML::Node root = YAML::LoadFile(dataFile(name));
  ConsoleCapture capture;
  const bool valid = diagnosis.validateConfig(root);
  return Outcome{valid, capture.errLines(), capture.outLines()};
}

const char * const kNoSensorsMap = "[ERROR] Config file must contain 'sensors' map";

// --- Shape of the document -----------------------------------------------------------------

class SensorsMapShape : public ::testing::TestWithParam<const char *>
{
};

TEST_P(SensorsMapShape, GivesTheSingleShapeLine)
{
  const Outcome outcome = validate(GetParam());
  EXPECT_FALSE(outcome.valid);
  EXPECT_THAT(outcome.err, ElementsAre(kNoSensorsMap));
  EXPECT_THAT(outcome.out, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
  Documents, SensorsMapShape,
  ::testing::Values(
    "shape_empty.yaml", "shape_sequence_root.yaml", "shape_no_sensors_key.yaml",
    "shape_sensors_list.yaml", "shape_sensors_scalar.yaml", "shape_sensors_null.yaml"),
  [](const ::testing::TestParamInfo<const char *> & info) {
    std::string name = info.param;
    name = name.substr(0, name.find('.'));
    return name;
  });

TEST(ConfigValidation, EmptySensorsMapIsNoSensorsConfigured)
{
  const Outcome outcome = validate("no_sensors.yaml");
  EXPECT_FALSE(outcome.valid);
  EXPECT_THAT(outcome.err, ElementsAre("[ERROR] No sensors configured"));
}

TEST(ConfigValidation, ValidDocumentWritesNothing)
{
  for (const char * name : {"valid_example.yaml", "extra_keys_ignored.yaml", "sensors_a.yaml"}) {
    SCOPED_TRACE(name);
    const Outcome outcome = validate(name);
    EXPECT_TRUE(outcome.valid);
    EXPECT_THAT(outcome.err, IsEmpty());
    EXPECT_THAT(outcome.out, IsEmpty());
  }
}

TEST(ConfigValidation, ScalarRootThrowsTheSubscriptErrorWithoutALine)
{
  Diagnosis diagnosis;
  const YAML::Node root = YAML::LoadFile(dataFile("scalar_root.yaml"));
  ConsoleCapture capture;
  EXPECT_THROW(diagnosis.validateConfig(root), YAML::BadSubscript);
  EXPECT_THAT(capture.lines(), IsEmpty());
}

TEST(ConfigValidation, CollectionKeyThrowsAfterEarlierLines)
{
  Diagnosis diagnosis;
  {
    const YAML::Node root = YAML::LoadFile(dataFile("mapping_key.yaml"));
    ConsoleCapture capture;
    EXPECT_THROW(diagnosis.validateConfig(root), YAML::BadConversion);
    EXPECT_THAT(capture.lines(), IsEmpty());
  }
  {
    const YAML::Node root = YAML::LoadFile(dataFile("sequence_key_after_valid.yaml"));
    ConsoleCapture capture;
    EXPECT_THROW(diagnosis.validateConfig(root), YAML::BadConversion);
    EXPECT_THAT(
      capture.errLines(),
      ElementsAre("[ERROR] Sensor '/scan_01' has invalid low_ratio: 0 (must be 0 < ratio <= 1)"));
  }
}

// --- Presence and shape of the entries -----------------------------------------------------

TEST(ConfigValidation, EachMissingFieldHasItsLineInFixedOrder)
{
  const Outcome outcome = validate("missing_two_fields.yaml");
  EXPECT_FALSE(outcome.valid);
  // normal_hz is -1 as well: no range line follows the presence failures.
  EXPECT_THAT(
    outcome.err, ElementsAre(
                   "[ERROR] Sensor '/scan_01' missing required field: low_ratio",
                   "[ERROR] Sensor '/scan_01' missing required field: abnormal_duration_ms"));
}

TEST(ConfigValidation, EntriesAfterANonMapStillGetShapeAndPresenceChecks)
{
  const Outcome outcome = validate("not_a_map_then_checked.yaml");
  EXPECT_FALSE(outcome.valid);
  // /scan_03 has a fractional integer, but after the first failure types are not checked.
  EXPECT_THAT(
    outcome.err, ElementsAre(
                   "[ERROR] Sensor '/scan_01' config must be a map",
                   "[ERROR] Sensor '/scan_02' missing required field: normal_hz",
                   "[ERROR] Sensor '/scan_04' config must be a map",
                   "[ERROR] Sensor '/scan_05' config must be a map"));
}

TEST(ConfigValidation, OneFailureStopsTypeAndRangeChecksForTheWholeDocument)
{
  const Outcome outcome = validate("document_wide_flag.yaml");
  EXPECT_FALSE(outcome.valid);
  // /scan_01 reports only its first bad field; /scan_02 (type) and /scan_03 (range) stay silent.
  EXPECT_THAT(
    outcome.err, ElementsAre(
                   "[ERROR] Sensor '/scan_01' has invalid low_ratio: 2 (must be 0 < ratio <= 1)",
                   "[ERROR] Sensor '/scan_04' missing required field: abnormal_duration_ms"));
}

// --- Conversions ---------------------------------------------------------------------------

TEST(ConfigValidation, NullValueIsPresentButAFieldTypeError)
{
  const Outcome outcome = validate("null_value.yaml");
  EXPECT_FALSE(outcome.valid);
  // An empty value has no text of its own: the reader marks it where the next key begins.
  EXPECT_THAT(
    outcome.err, ElementsAre("[ERROR] Sensor '/scan_01' has invalid field type: "
                             "yaml-cpp: error at line 4, column 5: bad conversion"));
}

class IntegerRejection : public ::testing::TestWithParam<const char *>
{
};

TEST_P(IntegerRejection, IsAFieldTypeErrorAtTheValue)
{
  const Outcome outcome = validate(GetParam());
  EXPECT_FALSE(outcome.valid);
  EXPECT_THAT(
    outcome.err, ElementsAre("[ERROR] Sensor '/scan_01' has invalid field type: "
                             "yaml-cpp: error at line 5, column 24: bad conversion"));
}

INSTANTIATE_TEST_SUITE_P(
  Values, IntegerRejection,
  ::testing::Values(
    "integer_fraction.yaml", "integer_exponent.yaml", "integer_overflow.yaml",
    "integer_suffix.yaml", "integer_sequence.yaml"),
  [](const ::testing::TestParamInfo<const char *> & info) {
    std::string name = info.param;
    return name.substr(0, name.find('.'));
  });

TEST(ConfigValidation, MissingRecoveryThresholdIsNamedByTheLibrary)
{
  const Outcome outcome = validate("missing_recovery.yaml");
  EXPECT_FALSE(outcome.valid);
  EXPECT_THAT(
    outcome.err, ElementsAre("[ERROR] Sensor '/scan_01' has invalid field type: "
                             "invalid node; first invalid key: \"cutoff_recovery_threshold\""));
}

TEST(ConfigValidation, SpecialFloatsGoThroughTheRangeCheck)
{
  EXPECT_TRUE(validate("special_floats.yaml").valid);

  const Outcome inf_ratio = validate("infinite_low_ratio.yaml");
  EXPECT_FALSE(inf_ratio.valid);
  EXPECT_THAT(
    inf_ratio.err,
    ElementsAre("[ERROR] Sensor '/scan_01' has invalid low_ratio: inf (must be 0 < ratio <= 1)"));

  const Outcome minus_inf = validate("negative_infinite_rate.yaml");
  EXPECT_FALSE(minus_inf.valid);
  EXPECT_THAT(
    minus_inf.err,
    ElementsAre("[ERROR] Sensor '/scan_01' has invalid normal_hz: -inf (must be > 0)"));
}

TEST(ConfigValidation, RangeViolationsUseTheRegistryLines)
{
  const Outcome outcome = validate("range_violations.yaml");
  EXPECT_FALSE(outcome.valid);
  EXPECT_THAT(
    outcome.err, ElementsAre("[ERROR] Sensor '/scan_01' has invalid normal_hz: 0 (must be > 0)"));
}

TEST(ConfigValidation, HexAndOctalIntegersAreAccepted)
{
  const Outcome outcome = validate("hex_octal.yaml");
  EXPECT_TRUE(outcome.valid);
  EXPECT_THAT(outcome.err, IsEmpty());
}

// --- Repeated keys -------------------------------------------------------------------------

TEST(ConfigValidation, RepeatedTopicChecksBothEntries)
{
  EXPECT_TRUE(validate("duplicate_topic.yaml").valid);

  const Outcome outcome = validate("duplicate_topic_first_invalid.yaml");
  EXPECT_FALSE(outcome.valid);
  EXPECT_THAT(
    outcome.err,
    ElementsAre("[ERROR] Sensor '/scan_01' has invalid cutoff_timeout_ms: 0 (must be > 0)"));
}

TEST(ConfigValidation, RepeatedFieldIsReadAtItsFirstOccurrence)
{
  EXPECT_TRUE(validate("duplicate_field.yaml").valid);

  const Outcome outcome = validate("duplicate_field_first_invalid.yaml");
  EXPECT_FALSE(outcome.valid);
  EXPECT_THAT(
    outcome.err,
    ElementsAre("[ERROR] Sensor '/scan_01' has invalid cutoff_timeout_ms: -1 (must be > 0)"));
}

TEST(ConfigValidation, KeepsNoStateBetweenCalls)
{
  Diagnosis diagnosis;
  const YAML::Node bad = YAML::LoadFile(dataFile("range_violations.yaml"));
  const YAML::Node good = YAML::LoadFile(dataFile("valid_example.yaml"));
  ConsoleCapture capture;
  EXPECT_FALSE(diagnosis.validateConfig(bad));
  EXPECT_TRUE(diagnosis.validateConfig(good));
}

// --- The optional ros_diagnostics block and max_header_age_ms ---------------------------------

Outcome validateText(const std::string & text)
{
  Diagnosis diagnosis;
  const YAML::Node root = YAML::Load(text);
  ConsoleCapture capture;
  const bool valid = diagnosis.validateConfig(root);
  return Outcome{valid, capture.errLines(), capture.outLines()};
}

const std::string kOneSensor =
  "sensors:\n"
  "  /scan_01:\n"
  "    normal_hz: 10\n"
  "    low_ratio: 0.5\n"
  "    cutoff_timeout_ms: 500\n"
  "    cutoff_recovery_threshold: 3\n"
  "    abnormal_duration_ms: 800\n";

TEST(RosDiagnosticsBlock, AcceptedFormsWriteNothing)
{
  for (const char * block :
       {"", "ros_diagnostics:\n  enabled: true\n",
        "ros_diagnostics:\n  enabled: false\n  period_ms: 100\n",
        "ros_diagnostics:\n  enabled: true\n  period_ms: 60000\n"}) {
    SCOPED_TRACE(block);
    const Outcome outcome = validateText(kOneSensor + block);
    EXPECT_TRUE(outcome.valid);
    EXPECT_THAT(outcome.err, IsEmpty());
  }
}

TEST(RosDiagnosticsBlock, EachProblemGetsItsOwnLine)
{
  Outcome outcome =
    validateText(kOneSensor + "ros_diagnostics:\n  enabled: maybe\n  period_ms: 99\n  rate: 5\n");
  EXPECT_FALSE(outcome.valid);
  ASSERT_EQ(outcome.err.size(), 3U) << ::testing::PrintToString(outcome.err);
  EXPECT_EQ(outcome.err[0], "[ERROR] ros_diagnostics has unknown key: rate");
  EXPECT_EQ(outcome.err[1].rfind("[ERROR] ros_diagnostics has invalid field type: ", 0), 0U);
  EXPECT_EQ(
    outcome.err[2], "[ERROR] ros_diagnostics has invalid period_ms: 99 (must be 100 to 60000)");

  outcome = validateText(kOneSensor + "ros_diagnostics:\n  period_ms: 60001\n");
  EXPECT_THAT(
    outcome.err, ElementsAre(
                   "[ERROR] ros_diagnostics missing required field: enabled",
                   "[ERROR] ros_diagnostics has invalid period_ms: 60001 (must be 100 to 60000)"));

  outcome = validateText(kOneSensor + "ros_diagnostics: on\n");
  EXPECT_THAT(outcome.err, ElementsAre("[ERROR] ros_diagnostics must be a map"));
}

TEST(MaxHeaderAge, OptionalIntegerAboveZero)
{
  EXPECT_TRUE(validateText(kOneSensor + "    max_header_age_ms: 1\n").valid);
  Outcome outcome = validateText(kOneSensor + "    max_header_age_ms: 0\n");
  EXPECT_THAT(
    outcome.err,
    ElementsAre("[ERROR] Sensor '/scan_01' has invalid max_header_age_ms: 0 (must be > 0)"));
  outcome = validateText(kOneSensor + "    max_header_age_ms: 1.5\n");
  ASSERT_EQ(outcome.err.size(), 1U);
  EXPECT_EQ(outcome.err[0].rfind("[ERROR] Sensor '/scan_01' has invalid field type: ", 0), 0U);
}

}  // namespace
