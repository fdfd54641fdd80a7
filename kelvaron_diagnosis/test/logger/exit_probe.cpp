// A host that keeps its Diagnosis with static storage duration, the way many robot programs
// do, and returns from main with the timer running.
//
//   exit_probe global|singleton [shutdown]
//
// "global" keeps the object at namespace scope, "singleton" in a function-local static;
// "shutdown" calls rclcpp::shutdown() before main returns.

#include <cstring>
#include <string>

#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

namespace
{

Diagnosis g_diagnosis;

Diagnosis & singleton()
{
  static Diagnosis instance;
  return instance;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 2) {
    return 2;
  }
  const std::string where = argv[1];
  const bool shutdown_first = argc > 2 && std::strcmp(argv[2], "shutdown") == 0;

  rclcpp::init(0, nullptr);
  Diagnosis & diagnosis = where == "global" ? g_diagnosis : singleton();
  // The first report initialises the object and starts its timer.
  diagnosis.SensorReportWithoutHeader("/exit_probe");
  if (shutdown_first) {
    rclcpp::shutdown();
  }
  return 0;
}
