// A host whose console lines are read from a pipe, the way journald or a log shipper reads them.
//
//   console_probe storm <threshold file> <reloads>
//       one thread reloads the file <reloads> times while one reports an unregistered topic and
//       one reports data-status events, all writing to the console at once;
//   console_probe reload-then-vanish <threshold file>
//       one reload, then _exit: no buffer is flushed at exit, so the reader gets only what each
//       line's own write delivered.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <rclcpp/rclcpp.hpp>
#include <sensor_diagnosis.hpp>

namespace
{

int storm(Diagnosis & diagnosis, int reloads)
{
  std::atomic<bool> done{false};
  std::thread unregistered([&] {
    while (!done) {
      diagnosis.SensorReportWithoutHeader("/unregistered");
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  });
  std::thread status([&] {
    for (int i = 0; !done; ++i) {
      diagnosis.DataStatusReport(static_cast<AbnormalEventType>(i % 7), i % 2);
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  });
  bool all_reloaded = true;
  for (int i = 0; i < reloads; ++i) {
    all_reloaded = diagnosis.reloadConfig() && all_reloaded;
  }
  done = true;
  unregistered.join();
  status.join();
  return all_reloaded ? 0 : 1;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 3) {
    return 2;
  }
  const std::string mode = argv[1];
  rclcpp::init(0, nullptr);
  int status = 2;
  {
    Diagnosis diagnosis;
    if (!diagnosis.initialize(argv[2])) {
      return 3;
    }
    if (mode == "storm" && argc > 3) {
      status = storm(diagnosis, std::atoi(argv[3]));
    } else if (mode == "reload-then-vanish") {
      _exit(diagnosis.reloadConfig() ? 0 : 1);
    }
  }
  rclcpp::shutdown();
  return status;
}
