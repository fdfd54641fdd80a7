// Parameters and names of real nodes, from the command line given to init and from the node
// options, over a real DDS participant.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"
#include "wait_until.hpp"

using rclcpp::exceptions::InvalidParameterTypeException;
using std_msgs::msg::Header;

namespace
{

// A context initialised with a command line, shut down at the end of the scope.
class CommandLine
{
public:
  explicit CommandLine(std::vector<std::string> ros_arguments)
  : context_(std::make_shared<rclcpp::Context>())
  {
    ros_arguments.insert(ros_arguments.begin(), {"prog", "--ros-args"});
    std::vector<const char *> argv;
    for (const auto & argument : ros_arguments) {
      argv.push_back(argument.c_str());
    }
    context_->init(static_cast<int>(argv.size()), argv.data());
  }
  ~CommandLine() { context_->shutdown("test done"); }
  CommandLine(const CommandLine &) = delete;
  CommandLine & operator=(const CommandLine &) = delete;

  rclcpp::NodeOptions options() const { return rclcpp::NodeOptions().context(context_); }

private:
  rclcpp::Context::SharedPtr context_;
};

template <typename Exception, typename Action>
std::string message_of(Action action)
{
  try {
    action();
  } catch (const Exception & error) {
    return error.what();
  }
  return "nothing thrown";
}

}  // namespace

TEST(Parameters, DeclarationsTakeTheCommandLinesValues)
{
  const CommandLine command_line(
    {"-p", "rate:=5", "-p", "use_sim_time:=true", "-p", "label:=5", "-p", "level:=12"});
  rclcpp::Node node("talker", command_line.options());
  EXPECT_TRUE(node.get_parameter("use_sim_time").as_bool());

  EXPECT_EQ(node.declare_parameter("rate", 1), 5);
  EXPECT_EQ(node.declare_parameter("gain", 0.5), 0.5);
  EXPECT_EQ(node.declare_parameter<std::string>("mode", "fast"), "fast");
  EXPECT_TRUE(node.has_parameter("rate"));
  const rclcpp::Parameter rate = node.get_parameter("rate");
  EXPECT_EQ(rate.get_name(), "rate");
  EXPECT_EQ(rate.get_type(), rclcpp::PARAMETER_INTEGER);
  EXPECT_EQ(rate.as_int(), 5);
  EXPECT_EQ(rate.value_to_string(), "5");
  int as_int = 0;
  EXPECT_TRUE(node.get_parameter("rate", as_int));
  EXPECT_EQ(as_int, 5);
  double as_double = 0.0;
  EXPECT_THROW(node.get_parameter("rate", as_double), InvalidParameterTypeException);
  EXPECT_THROW(rate.as_double(), rclcpp::ParameterTypeException);
  EXPECT_EQ(node.get_parameter_or("missing", 7), 7);
  EXPECT_EQ(node.declare_parameter("level", 3, {}, true), 3);

  EXPECT_THROW(
    node.declare_parameter("rate", 1), rclcpp::exceptions::ParameterAlreadyDeclaredException);
  EXPECT_THROW(node.get_parameter("undeclared"), rclcpp::exceptions::ParameterNotDeclaredException);
  EXPECT_THROW(node.declare_parameter("", 1), rclcpp::exceptions::InvalidParametersException);
  EXPECT_EQ(
    message_of<InvalidParameterTypeException>([&] { node.declare_parameter("label", "none"); }),
    "parameter 'label' has invalid type: Wrong parameter type, parameter {label} is of type "
    "{string}, setting it to {integer} is not allowed.");
}

TEST(Parameters, StaticTypingAndRangesHoldAsInRclcpp)
{
  const CommandLine command_line({"-p", "count:=4", "-p", "step:=7", "-p", "loose:=x"});
  rclcpp::Node node("talker", command_line.options());
  EXPECT_EQ(node.declare_parameter<int64_t>("count"), 4);
  EXPECT_THROW(
    node.declare_parameter<int>("unset"),
    rclcpp::exceptions::UninitializedStaticallyTypedParameterException);
  EXPECT_TRUE(node.has_parameter("unset"));
  EXPECT_THROW(node.get_parameter("unset"), rclcpp::exceptions::ParameterUninitializedException);
  rclcpp::Parameter unset;
  EXPECT_FALSE(node.get_parameter("unset", unset));

  rcl_interfaces::msg::ParameterDescriptor range;
  range.integer_range.push_back({0, 10, 5});
  EXPECT_EQ(
    message_of<rclcpp::exceptions::InvalidParameterValueException>(
      [&] { node.declare_parameter("step", 0, range); }),
    "parameter 'step' could not be set: Parameter {step} doesn't comply with integer range.");
  rcl_interfaces::msg::ParameterDescriptor dynamic;
  dynamic.dynamic_typing = true;
  EXPECT_EQ(
    node.declare_parameter("loose", rclcpp::ParameterValue(1), dynamic).get<std::string>(), "x");
}

TEST(Parameters, UseSimTimeOfAnotherTypeFailsTheNodeAsInRclcpp)
{
  const CommandLine command_line({"-p", "use_sim_time:=1"});
  EXPECT_THROW(rclcpp::Node("talker", command_line.options()), InvalidParameterTypeException);
  // Declared from the overrides, the parameter is dynamically typed; the time source refuses it.
  EXPECT_THROW(
    rclcpp::Node(
      "talker", command_line.options().automatically_declare_parameters_from_overrides(true)),
    std::invalid_argument);
  rclcpp::Node ignoring("talker", command_line.options().use_global_arguments(false));
  EXPECT_FALSE(ignoring.get_parameter("use_sim_time").as_bool());
}

TEST(Parameters, NodeOptionsComeBeforeTheCommandLine)
{
  const CommandLine command_line({"-p", "rate:=1", "-p", "gain:=1.5", "-r", "__node:=renamed"});
  auto options = command_line.options()
                   .arguments({"--ros-args", "-p", "rate:=2"})
                   .append_parameter_override("extra", true)
                   .automatically_declare_parameters_from_overrides(true);
  rclcpp::Node node("talker", options);
  EXPECT_STREQ(node.get_name(), "renamed");
  EXPECT_EQ(node.get_parameter("rate").as_int(), 2);
  EXPECT_EQ(node.get_parameter("gain").as_double(), 1.5);
  EXPECT_TRUE(node.get_parameter("extra").as_bool());

  rclcpp::Node alone(
    "talker", options.use_global_arguments(false).allow_undeclared_parameters(true));
  EXPECT_STREQ(alone.get_name(), "talker");
  EXPECT_FALSE(alone.has_parameter("gain"));
  EXPECT_EQ(alone.get_parameter("gain").get_type(), rclcpp::PARAMETER_NOT_SET);

  EXPECT_NE(
    message_of<rclcpp::exceptions::RCLInvalidROSArgsError>([&] {
      rclcpp::Node("talker", command_line.options().arguments({"--ros-args", "-r", "__ns:=x"}));
    }).find("failed to parse arguments: Couldn't parse remap rule: '-r __ns:=x'"),
    std::string::npos);
  EXPECT_THROW(
    rclcpp::Node("talker", command_line.options().arguments({"--ros-args", "--bogus"})),
    rclcpp::exceptions::UnknownROSArgsError);
}

TEST(Names, NodeNameAndNamespaceRulesRenameNodes)
{
  const CommandLine command_line(
    {"-r", "talker:__node:=speaker", "-r", "speaker:__ns:=/loud", "-r", "__ns:=/quiet"});
  rclcpp::Node talker("talker", "ignored", command_line.options());
  EXPECT_STREQ(talker.get_name(), "speaker");
  EXPECT_STREQ(talker.get_namespace(), "/loud");
  EXPECT_STREQ(talker.get_fully_qualified_name(), "/loud/speaker");
  rclcpp::Node listener("listener", command_line.options());
  EXPECT_STREQ(listener.get_fully_qualified_name(), "/quiet/listener");

  // Names are checked before the rules apply.
  EXPECT_THROW(
    rclcpp::Node("bad-name", command_line.options()), rclcpp::exceptions::InvalidNodeNameError);
  const CommandLine trailing_slash({"-r", "__ns:=/robot/"});
  EXPECT_THROW(rclcpp::Node("talker", trailing_slash.options()), rclcpp::exceptions::RCLError);
}

TEST(Names, TopicRulesApplyToEndpointsAndResolveTopicName)
{
  const CommandLine command_line({"-r", "chatter:=/news", "-r", "listener:~/in:=/inbox"});
  auto talker = std::make_shared<rclcpp::Node>("talker", "robot", command_line.options());
  auto listener = std::make_shared<rclcpp::Node>("listener", "robot", command_line.options());

  auto publisher = talker->create_publisher<Header>("chatter", rclcpp::QoS(10));
  EXPECT_STREQ(publisher->get_topic_name(), "/news");
  auto subscription =
    listener->create_subscription<Header>("~/in", rclcpp::QoS(10), [](const Header &) {});
  EXPECT_STREQ(subscription->get_topic_name(), "/inbox");
  auto generic = talker->create_generic_subscription(
    "chatter", "std_msgs/msg/Header", rclcpp::QoS(10),
    [](std::shared_ptr<rclcpp::SerializedMessage>) {});
  EXPECT_STREQ(generic->get_topic_name(), "/news");

  const auto topics = talker->get_node_topics_interface();
  EXPECT_EQ(topics->resolve_topic_name("chatter"), "/news");
  EXPECT_EQ(topics->resolve_topic_name("chatter", true), "/robot/chatter");
  EXPECT_EQ(topics->resolve_topic_name("~/in"), "/robot/talker/in");
  EXPECT_EQ(listener->get_node_topics_interface()->resolve_topic_name("~/in"), "/inbox");
  EXPECT_EQ(
    message_of<rclcpp::exceptions::RCLError>([&] {
      topics->resolve_topic_name("bad topic");
    }).rfind("failed to resolve name: topic name is invalid", 0),
    0u);
  EXPECT_NE(
    message_of<rclcpp::exceptions::RCLError>([&] {
      topics->resolve_topic_name("{who}/x");
    }).find("failed to resolve name: unknown substitution: {who}"),
    std::string::npos);

  // rclcpp expands the name count_publishers is given, but does not remap it.
  EXPECT_TRUE(standin_test::wait_until([&] { return talker->count_publishers("/news") == 1u; }));
  EXPECT_EQ(talker->count_publishers("chatter"), 0u);
}

TEST(Init, BadCommandLinesLeaveTheContextUninitialised)
{
  const auto init = [](const std::vector<const char *> & argv) {
    auto context = std::make_shared<rclcpp::Context>();
    try {
      context->init(static_cast<int>(argv.size()), argv.data());
    } catch (...) {
      EXPECT_FALSE(context->is_valid());
      throw;
    }
  };
  const std::string bad_rule = message_of<rclcpp::exceptions::RCLInvalidROSArgsError>([&] {
    init({"prog", "--ros-args", "-p", "foo"});
  });
  EXPECT_EQ(
    bad_rule.rfind("failed to initialize rcl: Couldn't parse parameter override rule: '-p foo'", 0),
    0u)
    << bad_rule;
  EXPECT_NE(
    message_of<rclcpp::exceptions::RCLInvalidROSArgsError>([&] {
      init({"prog", "--ros-args", "--params-file", "/nonexistent.yaml"});
    }).find("Couldn't parse params file: '--params-file /nonexistent.yaml'"),
    std::string::npos);
  EXPECT_EQ(
    message_of<rclcpp::exceptions::UnknownROSArgsError>([&] {
      init({"prog", "--ros-args", "--foo", "bar"});
    }),
    "found unknown ROS arguments: '--foo', 'bar'");
}
