#include "rclcpp/qos.hpp"

namespace rclcpp
{

QoSInitialization::QoSInitialization(HistoryPolicy history_policy_arg, size_t depth_arg)
: history_policy(history_policy_arg), depth(depth_arg)
{
}

KeepAll::KeepAll() : QoSInitialization(HistoryPolicy::KeepAll, 0) {}

KeepLast::KeepLast(size_t depth) : QoSInitialization(HistoryPolicy::KeepLast, depth) {}

QoS::QoS(const QoSInitialization & qos_initialization)
: history_(qos_initialization.history_policy), depth_(qos_initialization.depth)
{
}

QoS::QoS(size_t history_depth) : QoS(KeepLast(history_depth)) {}

QoS & QoS::history(HistoryPolicy history)
{
  history_ = history;
  return *this;
}

QoS & QoS::keep_last(size_t depth)
{
  history_ = HistoryPolicy::KeepLast;
  depth_ = depth;
  return *this;
}

QoS & QoS::keep_all()
{
  history_ = HistoryPolicy::KeepAll;
  depth_ = 0;
  return *this;
}

QoS & QoS::reliability(ReliabilityPolicy reliability)
{
  reliability_ = reliability;
  return *this;
}

QoS & QoS::reliable() { return reliability(ReliabilityPolicy::Reliable); }

QoS & QoS::best_effort() { return reliability(ReliabilityPolicy::BestEffort); }

QoS & QoS::durability(DurabilityPolicy durability)
{
  durability_ = durability;
  return *this;
}

QoS & QoS::durability_volatile() { return durability(DurabilityPolicy::Volatile); }

QoS & QoS::transient_local() { return durability(DurabilityPolicy::TransientLocal); }

QoS & QoS::liveliness(LivelinessPolicy liveliness)
{
  liveliness_ = liveliness;
  return *this;
}

HistoryPolicy QoS::history() const { return history_; }
size_t QoS::depth() const { return depth_; }
ReliabilityPolicy QoS::reliability() const { return reliability_; }
DurabilityPolicy QoS::durability() const { return durability_; }
LivelinessPolicy QoS::liveliness() const { return liveliness_; }

bool operator==(const QoS & left, const QoS & right)
{
  return left.history() == right.history() && left.depth() == right.depth() &&
         left.reliability() == right.reliability() && left.durability() == right.durability() &&
         left.liveliness() == right.liveliness();
}

bool operator!=(const QoS & left, const QoS & right) { return !(left == right); }

// Built on the sensor data profile, as rclcpp's is.
ClockQoS::ClockQoS(const QoSInitialization & qos_initialization) : QoS(qos_initialization)
{
  best_effort();
}

SensorDataQoS::SensorDataQoS(const QoSInitialization & qos_initialization) : QoS(qos_initialization)
{
  best_effort();
}

}  // namespace rclcpp
