// A simulator's side of a ROS 2 system, for the tests: publishes /clock at a real-time factor,
// with an optional pause, and sensor streams timed and stamped by that simulated time.
//
//   sim_world FACTOR PAUSE_AT_S PAUSE_FOR_S TOPIC:KIND:HZ:FRAME ...
//
// Simulated time starts at 1000 s and runs FACTOR times as fast as real time; once it reaches
// 1000 + PAUSE_AT_S it stands still for PAUSE_FOR_S real seconds (a paused simulation: no
// frames either). KIND "stamped" publishes std_msgs/msg/Header stamped with simulated time,
// "plain" builtin_interfaces/msg/Time. Runs until SIGINT.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <builtin_interfaces/msg/time.hpp>
#include <rclcpp/rclcpp.hpp>
#include <rosgraph_msgs/msg/clock.hpp>
#include <std_msgs/msg/header.hpp>

namespace
{

constexpr int64_t kStartNs = 1000LL * 1000000000LL;
constexpr auto kTick = std::chrono::milliseconds(5);

struct Stream
{
  bool stamped{false};
  int64_t period_ns{0};
  int64_t next_ns{kStartNs};
  std::string frame;
  std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>> stamped_publisher;
  std::shared_ptr<rclcpp::Publisher<builtin_interfaces::msg::Time>> plain_publisher;
};

builtin_interfaces::msg::Time stampOf(int64_t ns)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = static_cast<int32_t>(ns / 1000000000LL);
  stamp.nanosec = static_cast<uint32_t>(ns % 1000000000LL);
  return stamp;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 4) {
    return 2;
  }
  const double factor = std::atof(argv[1]);
  const auto pause_at_ns = kStartNs + static_cast<int64_t>(std::atof(argv[2]) * 1e9);
  const auto pause_for = std::chrono::duration<double>(std::atof(argv[3]));
  rclcpp::init(0, nullptr);
  auto node = std::make_shared<rclcpp::Node>("sim_world");
  auto clock_publisher =
    node->create_publisher<rosgraph_msgs::msg::Clock>("/clock", rclcpp::ClockQoS());
  std::vector<Stream> streams;
  for (int i = 4; i < argc; ++i) {
    std::istringstream fields(argv[i]);
    std::string topic;
    std::string kind;
    std::string hz;
    Stream stream;
    std::getline(fields, topic, ':');
    std::getline(fields, kind, ':');
    std::getline(fields, hz, ':');
    std::getline(fields, stream.frame, ':');
    stream.stamped = kind == "stamped";
    stream.period_ns = static_cast<int64_t>(1e9 / std::atof(hz.c_str()));
    if (stream.stamped) {
      stream.stamped_publisher =
        node->create_publisher<std_msgs::msg::Header>(topic, rclcpp::QoS(10));
    } else {
      stream.plain_publisher =
        node->create_publisher<builtin_interfaces::msg::Time>(topic, rclcpp::QoS(10));
    }
    streams.push_back(std::move(stream));
  }

  // Simulated time advances by the real time of each tick times the factor, except while paused.
  int64_t sim_ns = kStartNs;
  bool paused_once = false;
  auto last = std::chrono::steady_clock::now();
  while (rclcpp::ok()) {
    std::this_thread::sleep_for(kTick);
    const auto now = std::chrono::steady_clock::now();
    const auto real_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now - last).count();
    last = now;
    sim_ns += static_cast<int64_t>(static_cast<double>(real_ns) * factor);
    if (!paused_once && sim_ns >= pause_at_ns) {
      paused_once = true;
      sim_ns = pause_at_ns;
      rosgraph_msgs::msg::Clock clock;
      clock.clock = stampOf(sim_ns);
      clock_publisher->publish(clock);
      std::this_thread::sleep_for(pause_for);
      last = std::chrono::steady_clock::now();
    }
    rosgraph_msgs::msg::Clock clock;
    clock.clock = stampOf(sim_ns);
    clock_publisher->publish(clock);
    for (Stream & stream : streams) {
      for (; stream.next_ns <= sim_ns; stream.next_ns += stream.period_ns) {
        if (stream.stamped) {
          std_msgs::msg::Header header;
          header.stamp = stampOf(stream.next_ns);
          header.frame_id = stream.frame;
          stream.stamped_publisher->publish(header);
        } else {
          stream.plain_publisher->publish(stampOf(stream.next_ns));
        }
      }
    }
  }
  streams.clear();
  clock_publisher.reset();
  node.reset();
  rclcpp::shutdown();
  return 0;
}
