#ifndef ROS2_STANDIN__TEST__WAIT_UNTIL_HPP_
#define ROS2_STANDIN__TEST__WAIT_UNTIL_HPP_

#include <chrono>
#include <thread>

namespace standin_test
{

// Discovery and matching take a while and vary with load: wait for the condition itself,
// with a generous deadline, instead of sleeping a guessed time.
constexpr std::chrono::seconds kDiscoveryDeadline{10};

template <typename Predicate>
bool wait_until(Predicate predicate, std::chrono::milliseconds deadline = kDiscoveryDeadline)
{
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!predicate()) {
    if (std::chrono::steady_clock::now() >= end) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace standin_test

#endif  // ROS2_STANDIN__TEST__WAIT_UNTIL_HPP_
