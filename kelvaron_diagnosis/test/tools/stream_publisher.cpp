// Publishes simulated sensor streams from a process of its own, as a robot's drivers would.
//
//   stream_publisher TOPIC:KIND:HZ:FRAME ...
//
// KIND "stamped" publishes std_msgs/msg/Header messages stamped now with FRAME as frame_id;
// "bulky" the same with kBulkyPadding more bytes of frame_id, the size of a camera image;
// "plain" publishes builtin_interfaces/msg/Time, a type without a header. Runs until SIGINT.

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <builtin_interfaces/msg/time.hpp>
#include <rclcpp/rclcpp.hpp>
#include <std_msgs/msg/header.hpp>

namespace
{

constexpr std::size_t kBulkyPadding = 300000;

struct Stream
{
  std::string topic;
  bool stamped{false};
  std::chrono::nanoseconds period{};
  std::string frame;
  std::shared_ptr<rclcpp::Publisher<std_msgs::msg::Header>> stamped_publisher;
  std::shared_ptr<rclcpp::Publisher<builtin_interfaces::msg::Time>> plain_publisher;
  std::chrono::steady_clock::time_point next{};
};

}  // namespace

int main(int argc, char ** argv)
{
  rclcpp::init(0, nullptr);
  auto node = std::make_shared<rclcpp::Node>("stream_publisher");
  rclcpp::Clock clock(RCL_SYSTEM_TIME);
  std::vector<Stream> streams;
  for (int i = 1; i < argc; ++i) {
    std::istringstream fields(argv[i]);
    Stream stream;
    std::string kind;
    std::string hz;
    std::getline(fields, stream.topic, ':');
    std::getline(fields, kind, ':');
    std::getline(fields, hz, ':');
    std::getline(fields, stream.frame, ':');
    stream.stamped = kind == "stamped" || kind == "bulky";
    if (kind == "bulky") {
      stream.frame.append(kBulkyPadding, 'x');
    }
    stream.period = std::chrono::nanoseconds(static_cast<int64_t>(1e9 / std::atof(hz.c_str())));
    if (stream.stamped) {
      stream.stamped_publisher =
        node->create_publisher<std_msgs::msg::Header>(stream.topic, rclcpp::QoS(10));
    } else {
      stream.plain_publisher =
        node->create_publisher<builtin_interfaces::msg::Time>(stream.topic, rclcpp::QoS(10));
    }
    stream.next = std::chrono::steady_clock::now();
    streams.push_back(std::move(stream));
  }
  while (rclcpp::ok()) {
    auto wake = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    for (Stream & stream : streams) {
      if (std::chrono::steady_clock::now() >= stream.next) {
        if (stream.stamped) {
          std_msgs::msg::Header header;
          header.stamp = clock.now();
          header.frame_id = stream.frame;
          stream.stamped_publisher->publish(header);
        } else {
          const builtin_interfaces::msg::Time now = clock.now();
          stream.plain_publisher->publish(now);
        }
        stream.next += stream.period;
      }
      wake = std::min(wake, stream.next);
    }
    std::this_thread::sleep_until(wake);
  }
  streams.clear();
  node.reset();
  rclcpp::shutdown();
  return 0;
}
