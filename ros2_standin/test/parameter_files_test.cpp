// Parameter files and the order in which overrides combine, as rcl and rclcpp combine them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "node_parameters.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter.hpp"
#include "ros_arguments.hpp"

using rclcpp::ParameterValue;
using Values = std::map<std::string, ParameterValue>;

namespace
{

// A file with the given contents, removed at the end of the scope.
class TempFile
{
public:
  explicit TempFile(const std::string & contents)
  {
    char name[] = "/tmp/standin_params_XXXXXX";
    const int descriptor = mkstemp(name);
    EXPECT_GE(descriptor, 0);
    close(descriptor);
    path_ = name;
    std::ofstream(path_) << contents;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile &) = delete;
  TempFile & operator=(const TempFile &) = delete;

  const std::string & path() const { return path_; }

private:
  std::string path_;
};

ros2_standin::RosArguments parse(std::vector<std::string> arguments)
{
  arguments.insert(arguments.begin(), {"prog", "--ros-args"});
  return ros2_standin::parse_ros_arguments(arguments, "failed to initialize rcl");
}

Values values_for(const ros2_standin::RosArguments & arguments, const std::string & node)
{
  Values values;
  arguments.parameter_overrides.apply_to(node, values);
  return values;
}

// The message of the RCLInvalidROSArgsError that parsing throws, or "" when it does not throw.
std::string failure_of(const std::vector<std::string> & arguments)
{
  try {
    parse(arguments);
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError & error) {
    return error.what();
  }
  return "";
}

constexpr char kLayouts[] = R"(
/**:
  ros__parameters:
    rate: 10
    limits:
      low: 1.5
      tags: [a, b]
talker:
  ros__parameters:
    rate: 20
/robot/talker:
  ros__parameters:
    label: 'r1'
/robot/*:
  ros__parameters:
    level: 2
/**/listener:
  ros__parameters:
    level: 3
robot:
  arm:
    ros__parameters: {speed: .inf, flag: Off}
)";

}  // namespace

TEST(ParameterFiles, LayoutsAndWildcardsReachTheNodesTheyName)
{
  const TempFile file(kLayouts);
  const auto parsed = parse({"--params-file", file.path()});
  EXPECT_EQ(parsed.parameter_files, std::vector<std::string>{file.path()});

  const Values talker = values_for(parsed, "/talker");
  EXPECT_EQ(talker.at("rate"), ParameterValue(20));
  EXPECT_EQ(talker.at("limits.low"), ParameterValue(1.5));
  EXPECT_EQ(talker.at("limits.tags"), ParameterValue(std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(talker.count("level"), 0u);

  // "talker" is the root's talker only.
  const Values robot_talker = values_for(parsed, "/robot/talker");
  EXPECT_EQ(robot_talker.at("rate"), ParameterValue(10));
  EXPECT_EQ(robot_talker.at("label"), ParameterValue("r1"));
  EXPECT_EQ(robot_talker.at("level"), ParameterValue(2));

  // Both /robot/* and /**/listener name it; the later group wins.
  EXPECT_EQ(values_for(parsed, "/robot/listener").at("level"), ParameterValue(3));
  EXPECT_EQ(values_for(parsed, "/a/b/listener").at("level"), ParameterValue(3));
  EXPECT_EQ(values_for(parsed, "/a/b/other").count("level"), 0u);

  const Values arm = values_for(parsed, "/robot/arm");
  EXPECT_EQ(arm.at("flag"), ParameterValue(false));
  EXPECT_EQ(arm.at("level"), ParameterValue(2));
  EXPECT_TRUE(std::isinf(arm.at("speed").get<double>()));
}

TEST(ParameterFiles, OverridesCombineInCommandLineOrderAsInRcl)
{
  const TempFile file("/**:\n  ros__parameters:\n    rate: 2\n    gain: 0.5\n");
  // Files and -p rules form one sequence: a file after a rule overrides it.
  const auto parsed =
    parse({"-p", "rate:=1", "-p", "gain:=0.1", "--params-file", file.path(), "-p", "gain:=0.7"});
  const Values values = values_for(parsed, "/any");
  EXPECT_EQ(values.at("rate"), ParameterValue(2));
  EXPECT_EQ(values.at("gain"), ParameterValue(0.7));

  // Groups apply in the order they first appeared, whatever their kind: a node's own value
  // yields to an "every node" value whose group came later.
  const auto node_first = parse({"-p", "talker:rate:=3", "-p", "rate:=4"});
  EXPECT_EQ(values_for(node_first, "/talker").at("rate"), ParameterValue(4));
  const auto global_first = parse({"-p", "rate:=4", "-p", "talker:rate:=3", "-p", "rate:=5"});
  EXPECT_EQ(values_for(global_first, "/talker").at("rate"), ParameterValue(3));
  EXPECT_EQ(values_for(global_first, "/listener").at("rate"), ParameterValue(5));
  // A -p rule's node is from the root.
  EXPECT_EQ(values_for(global_first, "/ns/talker").at("rate"), ParameterValue(5));
}

TEST(ParameterFiles, NodeArgumentsAndOptionsOverrideTheCommandLine)
{
  const auto global = parse({"-p", "a:=1", "-p", "b:=1", "-p", "c:=1"});
  const auto local = parse({"-p", "b:=2", "-p", "c:=2"});
  const Values values = ros2_standin::resolve_parameter_overrides(
    "/talker", &global, local, {rclcpp::Parameter("c", 3)});
  EXPECT_EQ(values.at("a"), ParameterValue(1));
  EXPECT_EQ(values.at("b"), ParameterValue(2));
  EXPECT_EQ(values.at("c"), ParameterValue(3));
  EXPECT_EQ(
    ros2_standin::resolve_parameter_overrides("/talker", nullptr, local, {}).count("a"), 0u);

  const auto empty = parse({"-p", "talker:ids:=[]"});
  EXPECT_THROW(
    ros2_standin::resolve_parameter_overrides("/talker", nullptr, empty, {}),
    rclcpp::exceptions::InvalidParameterValueException);
  EXPECT_NO_THROW(ros2_standin::resolve_parameter_overrides("/other", nullptr, empty, {}));
}

TEST(ParameterFiles, BadFilesFailNamingTheFile)
{
  const std::string missing = "/nonexistent/params.yaml";
  EXPECT_NE(
    failure_of({"--params-file", missing})
      .find(
        "Couldn't parse params file: '--params-file " + missing +
        "'. Error: Error opening YAML file"),
    std::string::npos);
  EXPECT_NE(
    failure_of({"--params-file", "/tmp"}).find("Error reading YAML file"), std::string::npos);

  const std::vector<std::pair<std::string, std::string>> cases = {
    {"talker:\n  ros__parameters:\n    ids: [1, 2\n", "Error parsing a event near line"},
    {"ros__parameters:\n  a: 1\n", "There are no node names before ros__parameters at line 1"},
    {"my-node:\n  ros__parameters:\n    a: 1\n",
     "node name must not contain characters other than alphanumerics or '_'"},
    {"/a//b:\n  ros__parameters:\n    a: 1\n", "contains repeated forward slash"},
    {"talker:\n  rate: 1\n", "Cannot have a value before ros__parameters at line 2"},
    {"talker:\n  ros__parameters:\n    rate:\n    gain: 1\n", "No value at line"},
    {"talker:\n  ros__parameters:\n    ids: [1, 2.5]\n",
     "Value type 'double' do not belong at line_num 3"},
  };
  for (const auto & [contents, expected] : cases) {
    const TempFile file(contents);
    const std::string message = failure_of({"--params-file", file.path()});
    EXPECT_NE(message.find("'--params-file " + file.path() + "'"), std::string::npos) << message;
    EXPECT_NE(message.find(expected), std::string::npos) << message;
  }
}
