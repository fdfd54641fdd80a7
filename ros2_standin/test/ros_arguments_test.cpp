// The command line as rcl reads it: sections, rules, typed values, and rcl's errors.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "parameter_values.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/utilities.hpp"
#include "remap_rules.hpp"
#include "ros_arguments.hpp"

using ros2_standin::parse_ros_arguments;
using ros2_standin::RemapSources;

namespace
{

ros2_standin::RosArguments parse(const std::vector<std::string> & arguments)
{
  return parse_ros_arguments(arguments, "failed to initialize rcl");
}

std::vector<ros2_standin::RemapRule> rules(const std::vector<std::string> & texts)
{
  std::vector<ros2_standin::RemapRule> parsed;
  for (const auto & text : texts) {
    parsed.push_back(ros2_standin::parse_remap_rule(text));
  }
  return parsed;
}

}  // namespace

TEST(RosArguments, TakesEverySectionAndLeavesTheRest)
{
  const std::vector<std::string> arguments = {
    "prog",
    "plain",
    "--ros-args",
    "-r",
    "a:=b",
    "--",
    "after",
    "old:=style",
    "--ros-args",
    "--log-level",
    "debug",
    "--log-level",
    "rcl.node:=WARN",
    "--enclave",
    "/e",
    "-e",
    "/f",
    "--disable-rosout-logs",
    "--enable-stdout-logs",
    "--disable-external-lib-logs",
    "--log-config-file",
    "log.cfg",
    "--ros-args",
    "--param",
    "x:=1"};
  const auto parsed = parse(arguments);
  EXPECT_EQ(parsed.non_ros_arguments, (std::vector<size_t>{0, 1, 6}));
  // Outside --ros-args a rule alone still counts, as rcl keeps that older form.
  ASSERT_EQ(parsed.remap_rules.size(), 2u);
  EXPECT_EQ(parsed.remap_rules[1].match, "old");
  EXPECT_TRUE(parsed.unknown_ros_arguments.empty());

  std::vector<const char *> argv;
  for (const auto & argument : arguments) {
    argv.push_back(argument.c_str());
  }
  EXPECT_EQ(
    rclcpp::remove_ros_arguments(static_cast<int>(argv.size()), argv.data()),
    (std::vector<std::string>{"prog", "plain", "after"}));
}

TEST(RosArguments, CollectsWhatRclDoesNotKnow)
{
  const auto parsed = parse({"--ros-args", "--enable-colors", "a:=b", "-x", "--", "--enable-x"});
  EXPECT_EQ(
    parsed.unknown_ros_arguments, (std::vector<std::string>{"--enable-colors", "a:=b", "-x"}));
  EXPECT_EQ(parsed.non_ros_arguments, (std::vector<size_t>{5}));
}

TEST(RosArguments, MalformedArgumentsThrowWhatRclcppThrows)
{
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
    {{"-p", "foo"},
     "Couldn't parse parameter override rule: '-p foo'. Error: Expected lexeme type (22) not "
     "found, search ended at index 3"},
    {{"-p", "1x:=2"}, "Couldn't parse parameter override rule: '-p 1x:=2'. Error: Expecting token"},
    {{"-p", "n:=[1, a]"},
     "Error: Sequence should be of same type. Value type 'string' do not belong at line_num 1"},
    {{"-p", "n:={a: 1}"}, "'-p n:={a: 1}'. Error: Unknown YAML event"},
    {{"--param"}, "Couldn't parse trailing --param flag. No parameter override rule found."},
    {{"-r", "a:=b:=c"},
     "Couldn't parse remap rule: '-r a:=b:=c'. Error: Expected lexeme type 19, got 8 at index 4"},
    {{"--remap", "/x/*:=y"}, "Error: Wildcard '*' is not implemented"},
    {{"-r", "x:=\\1"}, "Error: Backreferences are not implemented"},
    {{"-r", "__ns:=relative"}, "Error: Expected lexeme type 19, got 18 at index 6"},
    {{"-r", "__node:=9lives"}, "Error: Expected lexeme type (18) not found"},
    {{"-r"}, "Couldn't parse trailing -r flag. No remap rule found."},
    {{"--params-file"}, "Couldn't parse trailing --params-file flag. No file path provided."},
    {{"--log-level", "loud"},
     "Couldn't parse log level: '--log-level loud'. Error: Argument does not use a valid "
     "severity level"},
    {{"--log-level"}, "Couldn't parse trailing log level flag: '--log-level'. No log level"},
    {{"-e"}, "Couldn't parse trailing -e flag. No enclave path provided."},
  };
  for (const auto & [rest, expected] : cases) {
    std::vector<std::string> arguments = {"prog", "--ros-args"};
    arguments.insert(arguments.end(), rest.begin(), rest.end());
    try {
      parse(arguments);
      ADD_FAILURE() << "accepted " << rest.front();
    } catch (const rclcpp::exceptions::RCLInvalidROSArgsError & error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind("failed to initialize rcl: Couldn't parse ", 0), 0u) << message;
      EXPECT_NE(message.find(expected), std::string::npos) << message;
      EXPECT_EQ(error.ret, RCL_RET_INVALID_ROS_ARGS);
    }
  }
}

TEST(ParameterValues, ScalarsAreTypedAsRclYamlParamParserTypesThem)
{
  using ros2_standin::typed_scalar;
  for (const char * yes : {"true", "True", "TRUE", "yes", "Y", "on", "ON"}) {
    EXPECT_EQ(typed_scalar(yes, false), rclcpp::ParameterValue(true)) << yes;
  }
  for (const char * no : {"false", "No", "n", "off", "OFF"}) {
    EXPECT_EQ(typed_scalar(no, false), rclcpp::ParameterValue(false)) << no;
  }
  EXPECT_EQ(typed_scalar("-5", false), rclcpp::ParameterValue(-5));
  // strtoll with any base, as rcl reads integers.
  EXPECT_EQ(typed_scalar("0x1F", false), rclcpp::ParameterValue(31));
  EXPECT_EQ(typed_scalar("010", false), rclcpp::ParameterValue(8));
  EXPECT_EQ(typed_scalar("1e3", false), rclcpp::ParameterValue(1000.0));
  EXPECT_EQ(typed_scalar("99999999999999999999", false), rclcpp::ParameterValue(1e20));
  EXPECT_EQ(typed_scalar("-.Inf", false), rclcpp::ParameterValue(-INFINITY));
  EXPECT_TRUE(std::isnan(typed_scalar(".nan", false).get<double>()));
  EXPECT_EQ(typed_scalar("truly", false), rclcpp::ParameterValue("truly"));
  EXPECT_EQ(typed_scalar("true", true), rclcpp::ParameterValue("true"));
  EXPECT_EQ(typed_scalar("5", true), rclcpp::ParameterValue("5"));
}

TEST(ParameterValues, RuleValuesAreYaml)
{
  using ros2_standin::parse_parameter_value;
  EXPECT_EQ(parse_parameter_value("'7'"), rclcpp::ParameterValue("7"));
  EXPECT_EQ(parse_parameter_value("hello world"), rclcpp::ParameterValue("hello world"));
  // yaml-cpp's nulls are rcl's strings.
  EXPECT_EQ(parse_parameter_value("~"), rclcpp::ParameterValue("~"));
  EXPECT_EQ(parse_parameter_value("[1, 2]"), rclcpp::ParameterValue(std::vector<int64_t>{1, 2}));
  EXPECT_EQ(
    parse_parameter_value("[on, no]"), rclcpp::ParameterValue(std::vector<bool>{true, false}));
  EXPECT_EQ(
    parse_parameter_value("['1', b]"), rclcpp::ParameterValue(std::vector<std::string>{"1", "b"}));
  // An empty sequence is a parameter without a value, which rclcpp refuses for the node.
  EXPECT_EQ(parse_parameter_value("[]").get_type(), rclcpp::PARAMETER_NOT_SET);
}

TEST(RemapRules, NodeNameAndNamespaceRulesApplyAsInRcl)
{
  const auto global = rules({"__node:=global_name", "__ns:=/global"});
  const auto local = rules({"other:__node:=x", "talker:__ns:=/local"});
  const RemapSources sources{&local, &global};
  // The first rule that applies wins, the node's own before the context's.
  EXPECT_EQ(ros2_standin::remap_node_name(sources, "talker"), "global_name");
  // A namespace rule for a node names it by its new name: "talker:" no longer applies.
  EXPECT_EQ(ros2_standin::remap_namespace(sources, "global_name"), "/global");
  EXPECT_EQ(ros2_standin::remap_namespace(sources, "talker"), "/local");
  EXPECT_EQ(ros2_standin::remap_node_name({&local, nullptr}, "talker"), std::nullopt);
  EXPECT_EQ(ros2_standin::parse_remap_rule("__ns:=/a/b/").replacement, "/a/b/");
}

TEST(RemapRules, TopicRulesMatchTheExpandedName)
{
  const auto global = rules(
    {"chatter:=global", "talker:~/out:=news", "rostopic://scan:=laser", "rosservice://srv:=x",
     "/abs/name:=~/private"});
  const auto local = rules({"/robot/chatter:=local"});
  const RemapSources sources{&local, &global};
  const auto remap = [&sources](const std::string & topic, const std::string & node) {
    return ros2_standin::remap_topic_name(sources, topic, node, "/robot");
  };
  EXPECT_EQ(remap("/robot/chatter", "talker"), "/robot/local");
  EXPECT_EQ(remap("/robot/chatter", "talker"), remap("/robot/chatter", "listener"));
  EXPECT_EQ(remap("/robot/talker/out", "talker"), "/robot/news");
  EXPECT_EQ(remap("/robot/listener/out", "listener"), std::nullopt);
  EXPECT_EQ(remap("/robot/scan", "talker"), "/robot/laser");
  EXPECT_EQ(remap("/robot/srv", "talker"), std::nullopt);
  EXPECT_EQ(remap("/abs/name", "talker"), "/robot/talker/private");
  EXPECT_EQ(
    ros2_standin::remap_topic_name({nullptr, &global}, "/robot/chatter", "t", "/robot"),
    "/robot/global");
}
