// Initialisation, shutdown and the failures rclcpp reports, over a real DDS participant.

#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "brimtale_protocol/msg/diagnostic_event.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sample_events.hpp"
#include "std_msgs/msg/header.hpp"
#include "wait_until.hpp"

using brimtale_protocol::msg::DiagnosticEvent;
using standin_test::wait_until;

namespace
{

class Lifecycle : public ::testing::Test
{
protected:
  void TearDown() override { rclcpp::shutdown(); }
};

}  // namespace

TEST(Isolation, NetworkNamespaceHoldsOnlyLoopback)
{
  const char * isolation = std::getenv("ROS2_STANDIN_ISOLATION");
  if (isolation == nullptr || std::string(isolation) != "netns") {
    GTEST_SKIP() << "not run inside run_isolated.sh's network namespace";
  }
  ifaddrs * addresses = nullptr;
  ASSERT_EQ(getifaddrs(&addresses), 0);
  std::set<std::string> names;
  for (ifaddrs * entry = addresses; entry != nullptr; entry = entry->ifa_next) {
    names.insert(entry->ifa_name);
  }
  freeifaddrs(addresses);
  EXPECT_EQ(names, std::set<std::string>{"lo"});
}

TEST(BeforeInit, DefaultContextNodeThrowsRclInvalidArgument)
{
  // A fresh process, so that no earlier test has initialised the default context.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
    {
      try {
        rclcpp::Node node("too_early");
      } catch (const rclcpp::exceptions::RCLInvalidArgument & error) {
        const std::invalid_argument & as_std = error;
        std::fprintf(stderr, "caught: %s\n", as_std.what());
        std::exit(0);
      } catch (...) {
        std::exit(2);
      }
      std::exit(1);
    },
    ::testing::ExitedWithCode(0), "caught: failed to create guard condition");
}

TEST(BeforeInit, UninitialisedContextNodeThrowsRclInvalidArgument)
{
  auto context = std::make_shared<rclcpp::Context>();
  EXPECT_THROW(
    rclcpp::Node("too_early", rclcpp::NodeOptions().context(context)),
    rclcpp::exceptions::RCLInvalidArgument);
}

TEST_F(Lifecycle, InitMakesOkAndShutdownEndsIt)
{
  EXPECT_FALSE(rclcpp::ok());
  rclcpp::init(0, nullptr);
  EXPECT_TRUE(rclcpp::ok());
  EXPECT_TRUE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_FALSE(rclcpp::shutdown());
  EXPECT_EQ(
    rclcpp::contexts::get_global_default_context()->shutdown_reason(),
    "user called rclcpp::shutdown()");
}

TEST_F(Lifecycle, SecondInitThrowsContextAlreadyInitialized)
{
  rclcpp::init(0, nullptr);
  EXPECT_THROW(rclcpp::init(0, nullptr), rclcpp::ContextAlreadyInitialized);
  EXPECT_TRUE(rclcpp::ok());
}

TEST_F(Lifecycle, DomainIdComesFromEnvironmentOrInitOptions)
{
  const char * environment = std::getenv("ROS_DOMAIN_ID");
  rclcpp::init(0, nullptr);
  const size_t expected = environment != nullptr ? std::stoul(environment) : 0;
  EXPECT_EQ(rclcpp::contexts::get_global_default_context()->get_domain_id(), expected);
  rclcpp::shutdown();

  auto context = std::make_shared<rclcpp::Context>();
  rclcpp::InitOptions options;
  options.set_domain_id(expected + 1);
  context->init(0, nullptr, options);
  EXPECT_EQ(context->get_domain_id(), expected + 1);
  EXPECT_TRUE(context->shutdown("test done"));
  EXPECT_EQ(context->shutdown_reason(), "test done");
}

TEST_F(Lifecycle, NodeAfterShutdownThrowsRclError)
{
  rclcpp::init(0, nullptr);
  rclcpp::shutdown();
  try {
    rclcpp::Node node("too_late");
    FAIL() << "node created after shutdown";
  } catch (const rclcpp::exceptions::RCLError & error) {
    const std::runtime_error & as_std = error;
    EXPECT_NE(std::string(as_std.what()).find("context is not valid"), std::string::npos);
    EXPECT_EQ(error.ret, RCL_RET_NOT_INIT);
  }
}

TEST_F(Lifecycle, PublisherAfterShutdownThrowsRclError)
{
  rclcpp::init(0, nullptr);
  auto node = std::make_shared<rclcpp::Node>("publisher_after_shutdown");
  rclcpp::shutdown();
  EXPECT_THROW(
    node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10)),
    rclcpp::exceptions::RCLError);
  EXPECT_THROW(
    node->create_subscription<DiagnosticEvent>(
      standin_test::kTopic, rclcpp::QoS(10), [](const DiagnosticEvent &) {}),
    rclcpp::exceptions::RCLError);
}

TEST_F(Lifecycle, PublishAfterShutdownIsDroppedSilently)
{
  rclcpp::init(0, nullptr);
  auto node = std::make_shared<rclcpp::Node>("publish_after_shutdown");
  auto publisher = node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  const DiagnosticEvent event = standin_test::sample_event(0);
  EXPECT_NO_THROW(publisher->publish(event));
  rclcpp::shutdown();
  EXPECT_NO_THROW(publisher->publish(event));
  EXPECT_NO_THROW(publisher->publish(std::make_unique<DiagnosticEvent>(event)));
  EXPECT_EQ(publisher->get_subscription_count(), 0u);
}

TEST_F(Lifecycle, PublishRacingShutdownIsDroppedSilently)
{
  // Shutdown deletes the writer while another thread is publishing with it.
  for (int round = 0; round < 10; ++round) {
    rclcpp::init(0, nullptr);
    auto node = std::make_shared<rclcpp::Node>("publish_racing_shutdown");
    auto publisher = node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
    std::atomic_bool stop{false};
    std::atomic<int> published{0};
    std::atomic_bool failed{false};
    std::string failure;  // written before `failed` is set, read after the join
    std::thread publishing([&] {
      const DiagnosticEvent event = standin_test::sample_event(1);
      try {
        while (!stop) {
          publisher->publish(event);
          ++published;
        }
      } catch (const std::exception & error) {
        failure = error.what();
        failed = true;
      }
    });
    EXPECT_TRUE(wait_until([&] { return published > 50 || failed; }));
    rclcpp::shutdown();
    const int at_shutdown = published;
    EXPECT_TRUE(wait_until([&] { return published > at_shutdown + 50 || failed; }));
    stop = true;
    publishing.join();
    EXPECT_EQ(failure, "") << "round " << round;
  }
}

TEST_F(Lifecycle, InitAfterShutdownWorksAgain)
{
  rclcpp::init(0, nullptr);
  auto old_node = std::make_shared<rclcpp::Node>("first_life");
  auto old_publisher =
    old_node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  rclcpp::shutdown();

  rclcpp::init(0, nullptr);
  ASSERT_TRUE(rclcpp::ok());
  // Entities of the earlier life stay dead; they do not revive on the new participant.
  EXPECT_NO_THROW(old_publisher->publish(standin_test::sample_event(0)));
  EXPECT_THROW(
    old_node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10)),
    rclcpp::exceptions::RCLError);

  auto node = std::make_shared<rclcpp::Node>("second_life");
  auto publisher = node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  std::vector<DiagnosticEvent> received;
  auto subscription = node->create_subscription<DiagnosticEvent>(
    standin_test::kTopic, rclcpp::QoS(10),
    [&received](const DiagnosticEvent & event) { received.push_back(event); });
  ASSERT_TRUE(wait_until([&] { return publisher->get_subscription_count() == 1; }));
  publisher->publish(standin_test::sample_event(3));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  const auto end = std::chrono::steady_clock::now() + standin_test::kDiscoveryDeadline;
  while (received.empty() && std::chrono::steady_clock::now() < end) {
    executor.spin_once(std::chrono::milliseconds(100));
  }
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], standin_test::sample_event(3));
}

TEST_F(Lifecycle, NodeNamesAreValidatedAsRos2Does)
{
  rclcpp::init(0, nullptr);
  for (const char * bad : {"", "9lives", "has space", "dash-ed", "slash/ed", "tilde~"}) {
    EXPECT_THROW(rclcpp::Node{bad}, rclcpp::exceptions::InvalidNodeNameError) << bad;
  }
  try {
    rclcpp::Node node("bad-name");
    FAIL();
  } catch (const rclcpp::exceptions::InvalidNodeNameError & error) {
    EXPECT_EQ(error.invalid_index, 3u);
    EXPECT_EQ(error.name, "bad-name");
  }
  for (const char * bad : {"/ns/", "/ns//x", "/9ns", "/n s"}) {
    EXPECT_THROW(rclcpp::Node("node", bad), rclcpp::exceptions::InvalidNamespaceError) << bad;
  }
}

TEST_F(Lifecycle, NodeNamespaceAndFullyQualifiedName)
{
  rclcpp::init(0, nullptr);
  rclcpp::Node root("diagnosis_Sensor_Proxy_node");
  EXPECT_STREQ(root.get_name(), "diagnosis_Sensor_Proxy_node");
  EXPECT_STREQ(root.get_namespace(), "/");
  EXPECT_STREQ(root.get_fully_qualified_name(), "/diagnosis_Sensor_Proxy_node");
  rclcpp::Node relative("node", "robot");
  EXPECT_STREQ(relative.get_namespace(), "/robot");
  EXPECT_STREQ(relative.get_fully_qualified_name(), "/robot/node");
  EXPECT_EQ(root.get_clock()->get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(root.now().get_clock_type(), RCL_ROS_TIME);
}

TEST_F(Lifecycle, TopicNamesExpandAgainstTheNode)
{
  rclcpp::init(0, nullptr);
  auto root = std::make_shared<rclcpp::Node>("root_node");
  auto nested = std::make_shared<rclcpp::Node>("inner", "/robot/arm");
  auto name_of = [](const rclcpp::Node::SharedPtr & node, const std::string & topic) {
    return std::string(
      node->create_publisher<std_msgs::msg::Header>(topic, rclcpp::QoS(1))->get_topic_name());
  };
  EXPECT_EQ(name_of(root, "sensor_proxy_diag_topic"), "/sensor_proxy_diag_topic");
  EXPECT_EQ(name_of(root, "/abs/topic"), "/abs/topic");
  EXPECT_EQ(name_of(nested, "chatter"), "/robot/arm/chatter");
  EXPECT_EQ(name_of(nested, "/chatter"), "/chatter");
  EXPECT_EQ(name_of(nested, "~/state"), "/robot/arm/inner/state");
  EXPECT_EQ(name_of(nested, "{node}/state"), "/robot/arm/inner/state");
  EXPECT_EQ(name_of(root, "~"), "/root_node");
}

TEST_F(Lifecycle, InvalidTopicNamesThrowAsRclcppDoes)
{
  rclcpp::init(0, nullptr);
  auto node = std::make_shared<rclcpp::Node>("topic_checker");
  for (const char * bad :
       {"", "has space", "9topic", "a/9b", "a//b", "trailing/", "x~", "~x", "{open", "close}",
        "dash-ed"}) {
    EXPECT_THROW(
      node->create_publisher<std_msgs::msg::Header>(bad, rclcpp::QoS(1)),
      rclcpp::exceptions::InvalidTopicNameError)
      << '"' << bad << '"';
  }
  EXPECT_THROW(
    node->create_publisher<std_msgs::msg::Header>("{unknown}/x", rclcpp::QoS(1)),
    rclcpp::exceptions::RCLError);
}

TEST_F(Lifecycle, PublisherGidCarriesTheWriterGuid)
{
  rclcpp::init(0, nullptr);
  auto node = std::make_shared<rclcpp::Node>("gid_node");
  auto first = node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  auto second = node->create_publisher<DiagnosticEvent>(standin_test::kTopic, rclcpp::QoS(10));
  EXPECT_STREQ(first->get_gid().implementation_identifier, "rmw_cyclonedds_cpp");
  const uint8_t zero[16] = {};
  EXPECT_NE(std::memcmp(first->get_gid().data, zero, sizeof(zero)), 0);
  EXPECT_NE(std::memcmp(first->get_gid().data, second->get_gid().data, 16), 0);
  // Same participant: the GUID prefixes agree, the entity ids differ.
  EXPECT_EQ(std::memcmp(first->get_gid().data, second->get_gid().data, 12), 0);
}

TEST_F(Lifecycle, ShutdownRunsCallbacksAndInterruptsSleep)
{
  rclcpp::init(0, nullptr);
  auto context = rclcpp::contexts::get_global_default_context();
  int calls = 0;
  context->on_shutdown([&calls] { ++calls; });
  int removed_calls = 0;
  const auto handle = context->add_on_shutdown_callback([&removed_calls] { ++removed_calls; });
  EXPECT_TRUE(context->remove_on_shutdown_callback(handle));

  std::atomic_bool slept_through{true};
  std::atomic_bool done{false};
  std::thread sleeper([&] {
    slept_through = rclcpp::sleep_for(std::chrono::minutes(10));
    done = true;
  });
  rclcpp::shutdown();
  EXPECT_TRUE(wait_until([&] { return done.load(); }));
  sleeper.join();
  EXPECT_FALSE(slept_through);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(removed_calls, 0);
}

TEST_F(Lifecycle, SignalsShutTheDefaultContextDown)
{
  for (const int signal_number : {SIGINT, SIGTERM}) {
    rclcpp::init(0, nullptr);
    ASSERT_TRUE(rclcpp::signal_handlers_installed());
    raise(signal_number);
    EXPECT_TRUE(wait_until([] { return !rclcpp::ok(); })) << signal_number;
    EXPECT_EQ(rclcpp::contexts::get_global_default_context()->shutdown_reason(), "signal handler");
    rclcpp::shutdown();
    EXPECT_FALSE(rclcpp::signal_handlers_installed());
  }
}
