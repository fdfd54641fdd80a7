// Simulated time over DDS: rosgraph_msgs/Clock on the wire as ROS 2 sends it, and a node's ROS
// clock following /clock published by another node, without being spun.

#include <dds/dds.h>
#include <dds/ddsi/ddsi_serdata.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "context_state.hpp"
#include "raw_participant.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rosgraph_msgs/msg/Clock.h"
#include "rosgraph_msgs/msg/clock.hpp"
#include "spin_helpers.hpp"
#include "wait_until.hpp"

using rosgraph_msgs::msg::Clock;
using standin_test::wait_until;

namespace
{

Clock clock_message(int32_t sec, uint32_t nanosec)
{
  Clock message;
  message.clock.sec = sec;
  message.clock.nanosec = nanosec;
  return message;
}

Clock clock_message_at(int64_t nanoseconds)
{
  return clock_message(
    static_cast<int32_t>(nanoseconds / RCL_S_TO_NS(1)),
    static_cast<uint32_t>(nanoseconds % RCL_S_TO_NS(1)));
}

int64_t nanoseconds_of(const Clock & message)
{
  return RCL_S_TO_NS(static_cast<int64_t>(message.clock.sec)) + message.clock.nanosec;
}

// A simulator node publishing /clock and a node that may follow it, on a context of their own.
struct Simulation
{
  explicit Simulation(rclcpp::NodeOptions user_options = rclcpp::NodeOptions())
  {
    context->init(0, nullptr);
    simulator = std::make_shared<rclcpp::Node>("simulator", rclcpp::NodeOptions().context(context));
    clock_publisher = simulator->create_publisher<Clock>("/clock", rclcpp::ClockQoS());
    node = std::make_shared<rclcpp::Node>("sim_time_user", user_options.context(context));
  }

  static rclcpp::NodeOptions use_sim_time()
  {
    return rclcpp::NodeOptions().append_parameter_override("use_sim_time", true);
  }

  bool wait_for_clock_subscribers(size_t count)
  {
    return wait_until([&] { return clock_publisher->get_subscription_count() == count; });
  }

  // /clock is best effort: publishes again until `arrived` holds.
  bool publish_until(const Clock & message, const std::function<bool()> & arrived)
  {
    return wait_until([&] {
      clock_publisher->publish(message);
      return arrived();
    });
  }

  bool node_time_becomes(const Clock & message)
  {
    return publish_until(
      message, [&] { return node->now().nanoseconds() == nanoseconds_of(message); });
  }

  // Readers of the node in the graph the context publishes on ros_discovery_info.
  size_t graph_readers_of_node()
  {
    auto & state = ros2_standin::ContextAccess::state(*context);
    std::lock_guard<std::mutex> lock(state.mutex);
    for (const auto & entry : state.graph.nodes()) {
      if (entry.name == "sim_time_user") {
        return entry.reader_gids.size();
      }
    }
    return 0;
  }

  rclcpp::Context::SharedPtr context = std::make_shared<rclcpp::Context>();
  rclcpp::Node::SharedPtr simulator;
  rclcpp::Publisher<Clock>::SharedPtr clock_publisher;
  rclcpp::Node::SharedPtr node;
};

}  // namespace

TEST(SimTime, ClockMessageRoundTripsBetweenPublisherAndSubscriber)
{
  Simulation sim;
  std::vector<Clock> received;
  auto subscription = sim.node->create_subscription<Clock>(
    "/clock", rclcpp::ClockQoS(), [&](Clock::UniquePtr message) { received.push_back(*message); });
  EXPECT_STREQ(subscription->get_topic_name(), "/clock");
  ASSERT_TRUE(sim.wait_for_clock_subscribers(1));

  // Every bit of both fields in use.
  const Clock sent = clock_message(2147483647, 999999999u);
  rclcpp::ExecutorOptions options;
  options.context = sim.context;
  rclcpp::executors::SingleThreadedExecutor executor(options);
  executor.add_node(sim.node);
  ASSERT_TRUE(standin_test::spin_until(executor, [&] {
    sim.clock_publisher->publish(sent);
    return !received.empty();
  }));
  EXPECT_EQ(received.back(), sent);
}

TEST(SimTime, ClockMessageTravelsAsRos2Type)
{
  Simulation sim;
  // A foreign Cyclone reader matches only a writer of the same topic and type name.
  standin_test::RawParticipant raw;
  const dds_entity_t topic =
    dds_create_topic(raw.get(), &rosgraph_msgs_msg_dds__Clock__desc, "rt/clock", nullptr, nullptr);
  ASSERT_GT(topic, 0) << dds_strretcode(topic);
  dds_qos_t * qos = dds_create_qos();
  dds_qset_reliability(qos, DDS_RELIABILITY_BEST_EFFORT, 0);
  const dds_entity_t reader = dds_create_reader(raw.get(), topic, qos, nullptr);
  dds_delete_qos(qos);
  ASSERT_GT(reader, 0) << dds_strretcode(reader);
  ASSERT_TRUE(sim.wait_for_clock_subscribers(1));

  std::vector<unsigned char> bytes;
  ASSERT_TRUE(wait_until([&] {
    sim.clock_publisher->publish(clock_message(1700000000, 123456789u));
    ddsi_serdata * serdata = nullptr;
    dds_sample_info_t info{};
    if (dds_takecdr(reader, &serdata, 1, &info, DDS_ANY_STATE) != 1) {
      return false;
    }
    if (info.valid_data) {
      bytes.resize(ddsi_serdata_size(serdata));
      ddsi_serdata_to_ser(serdata, 0, bytes.size(), bytes.data());
    }
    ddsi_serdata_unref(serdata);
    return !bytes.empty();
  }));
  const std::vector<unsigned char> expected{
    0x00, 0x01, 0x00, 0x00,  // encapsulation: CDR little-endian, no options
    0x00, 0xF1, 0x53, 0x65,  // clock.sec = 1700000000
    0x15, 0xCD, 0x5B, 0x07,  // clock.nanosec = 123456789
  };
  EXPECT_EQ(bytes, expected);
}

TEST(SimTime, NodeWithUseSimTimeFollowsClockTopicWithoutSpinning)
{
  // As a user would start it: ros2 run ... --ros-args -p use_sim_time:=true
  Simulation sim(rclcpp::NodeOptions().arguments({"--ros-args", "-p", "use_sim_time:=true"}));
  const rclcpp::Clock::SharedPtr clock = sim.node->get_clock();
  EXPECT_TRUE(clock->ros_time_is_active());
  // Before the first message ROS time is zero, as in rclcpp.
  EXPECT_EQ(sim.node->now(), rclcpp::Time(0, 0u, RCL_ROS_TIME));
  // The /clock subscription is the node's, as graph tools show it for rclcpp.
  EXPECT_EQ(sim.graph_readers_of_node(), 1u);
  ASSERT_TRUE(sim.wait_for_clock_subscribers(1));

  ASSERT_TRUE(sim.node_time_becomes(clock_message(1000, 5u)));
  EXPECT_EQ(clock->now().get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(clock->now(), sim.node->now());
  // A simulation reset: time jumps back, and the clock follows.
  ASSERT_TRUE(sim.node_time_becomes(clock_message(2, 0u)));

  // Neither the simulator (use_sim_time false) nor a clock of no node leave system time.
  EXPECT_FALSE(sim.simulator->get_clock()->ros_time_is_active());
  EXPECT_GT(sim.simulator->now().nanoseconds(), RCL_S_TO_NS(int64_t{1000}));
  rclcpp::Clock unattached(RCL_ROS_TIME);
  EXPECT_FALSE(unattached.ros_time_is_active());

  // With the node gone, its clock is back on system time (as rclcpp's on detach) and nothing
  // reads /clock any more.
  sim.node.reset();
  EXPECT_FALSE(clock->ros_time_is_active());
  EXPECT_GT(clock->now().nanoseconds(), RCL_S_TO_NS(int64_t{1000}));
  EXPECT_TRUE(sim.wait_for_clock_subscribers(0));
}

TEST(SimTime, ReadersOnOtherThreadsSeeOnlyPublishedTimesInOrder)
{
  Simulation sim(Simulation::use_sim_time());
  ASSERT_TRUE(sim.wait_for_clock_subscribers(1));
  constexpr int kSteps = 2000;
  constexpr int64_t kStep = 1000003;  // not a round number: a torn value would show

  std::atomic<bool> done{false};
  std::atomic<int> faults{0};
  auto read = [&] {
    int64_t previous = 0;
    while (!done) {
      const int64_t now = sim.node->now().nanoseconds();
      if (now % kStep != 0 || now < previous) {
        ++faults;
      }
      previous = now;
    }
  };
  std::thread reader_a(read);
  std::thread reader_b(read);
  for (int i = 1; i <= kSteps; ++i) {
    sim.clock_publisher->publish(clock_message_at(i * kStep));
  }
  const bool arrived = sim.node_time_becomes(clock_message_at(kSteps * kStep));
  done = true;
  reader_a.join();
  reader_b.join();
  EXPECT_TRUE(arrived);
  EXPECT_EQ(faults, 0);
}

TEST(SimTime, ShutdownWhileFollowingKeepsTheLastTimeAndReleasesCleanly)
{
  // Shutdown must meet a delivery under way to prove that neither waits for the other; each
  // round gives it another chance.
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    Simulation sim(Simulation::use_sim_time());
    ASSERT_TRUE(sim.wait_for_clock_subscribers(1));
    ASSERT_TRUE(sim.node_time_becomes(clock_message(42, 0u)));

    std::atomic<bool> stop{false};
    std::thread simulator([&] {
      for (int32_t sec = 43; !stop; ++sec) {
        sim.clock_publisher->publish(clock_message(sec, 0u));
      }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    sim.context->shutdown("simulation over");
    stop = true;
    simulator.join();

    // The clock stays where /clock left it, as long as the node lives.
    const rclcpp::Time frozen = sim.node->now();
    EXPECT_GE(frozen.nanoseconds(), RCL_S_TO_NS(int64_t{42}));
    EXPECT_TRUE(sim.node->get_clock()->ros_time_is_active());
    sim.clock_publisher->publish(clock_message(7, 0u));  // dropped after shutdown
    EXPECT_EQ(sim.node->now(), frozen);

    const rclcpp::Clock::SharedPtr clock = sim.node->get_clock();
    sim.node.reset();
    EXPECT_FALSE(clock->ros_time_is_active());
  }
}
