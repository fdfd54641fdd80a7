#ifndef RCLCPP__QOS_HPP_
#define RCLCPP__QOS_HPP_

#include <cstddef>

#include "rclcpp/duration.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp
{

enum class HistoryPolicy
{
  KeepLast,
  KeepAll,
  SystemDefault,
  Unknown,
};

enum class ReliabilityPolicy
{
  BestEffort,
  Reliable,
  SystemDefault,
  Unknown,
};

enum class DurabilityPolicy
{
  Volatile,
  TransientLocal,
  SystemDefault,
  Unknown,
};

enum class LivelinessPolicy
{
  Automatic,
  ManualByTopic,
  SystemDefault,
  Unknown,
};

struct RCLCPP_PUBLIC_TYPE QoSInitialization
{
  HistoryPolicy history_policy;
  size_t depth;

  RCLCPP_PUBLIC
  QoSInitialization(HistoryPolicy history_policy_arg, size_t depth_arg);
};

struct RCLCPP_PUBLIC_TYPE KeepAll : public rclcpp::QoSInitialization
{
  RCLCPP_PUBLIC
  KeepAll();
};

struct RCLCPP_PUBLIC_TYPE KeepLast : public rclcpp::QoSInitialization
{
  RCLCPP_PUBLIC
  explicit KeepLast(size_t depth);
};

// Defaults as rmw_qos_profile_default: keep last, reliable, volatile, automatic liveliness.
class RCLCPP_PUBLIC_TYPE QoS
{
public:
  RCLCPP_PUBLIC
  explicit QoS(const QoSInitialization & qos_initialization);

  // Implicit, as in rclcpp: QoS(10) is keep-last 10 with the default profile.
  RCLCPP_PUBLIC
  QoS(size_t history_depth);  // NOLINT(runtime/explicit)

  RCLCPP_PUBLIC QoS & history(HistoryPolicy history);
  RCLCPP_PUBLIC QoS & keep_last(size_t depth);
  RCLCPP_PUBLIC QoS & keep_all();
  RCLCPP_PUBLIC QoS & reliability(ReliabilityPolicy reliability);
  RCLCPP_PUBLIC QoS & reliable();
  RCLCPP_PUBLIC QoS & best_effort();
  RCLCPP_PUBLIC QoS & durability(DurabilityPolicy durability);
  RCLCPP_PUBLIC QoS & durability_volatile();
  RCLCPP_PUBLIC QoS & transient_local();
  RCLCPP_PUBLIC QoS & liveliness(LivelinessPolicy liveliness);

  RCLCPP_PUBLIC HistoryPolicy history() const;
  RCLCPP_PUBLIC size_t depth() const;
  RCLCPP_PUBLIC ReliabilityPolicy reliability() const;
  RCLCPP_PUBLIC DurabilityPolicy durability() const;
  RCLCPP_PUBLIC LivelinessPolicy liveliness() const;

private:
  HistoryPolicy history_ = HistoryPolicy::KeepLast;
  size_t depth_ = 0;
  ReliabilityPolicy reliability_ = ReliabilityPolicy::Reliable;
  DurabilityPolicy durability_ = DurabilityPolicy::Volatile;
  LivelinessPolicy liveliness_ = LivelinessPolicy::Automatic;
};

RCLCPP_PUBLIC
bool operator==(const QoS & left, const QoS & right);
RCLCPP_PUBLIC
bool operator!=(const QoS & left, const QoS & right);

// For /clock: keep last 1, best effort, volatile (the sensor data profile at depth 1), so that
// a subscriber only ever sees the newest time.
class RCLCPP_PUBLIC_TYPE ClockQoS : public QoS
{
public:
  RCLCPP_PUBLIC
  explicit ClockQoS(const QoSInitialization & qos_initialization = KeepLast(1));
};

// Keep last 5, best effort, volatile.
class RCLCPP_PUBLIC_TYPE SensorDataQoS : public QoS
{
public:
  RCLCPP_PUBLIC
  explicit SensorDataQoS(const QoSInitialization & qos_initialization = KeepLast(5));
};

}  // namespace rclcpp

#endif  // RCLCPP__QOS_HPP_
