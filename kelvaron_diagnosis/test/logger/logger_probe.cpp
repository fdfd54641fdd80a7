// Logs a chosen scenario through the process logger. The logger tests run it in child
// processes, one environment per process, and compare what it prints.
//
//   logger_probe idle | late | mixed | unregistered | threads | sites | count <n>

#include <logging/logger.hpp>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

// Tells the test where a journal entry came from, on stderr so stdout stays exact. Keep each use
// on one line so that both __LINE__s agree.
#define AT_SITE(statement)                                    \
  do {                                                        \
    std::fprintf(stderr, "site %d %s\n", __LINE__, __FILE__); \
    statement;                                                \
  } while (false)

namespace
{

void logMixed()
{
  LOG_INFO("Timer thread started");
  LOG_WARN("Sensor topic not registered: {}", "/scan_09");
  LOG_INFO("event_id:{}, event_status:{}, event_msg:{}", 8009, 1, "FRONT 2D LIDAR ABNORMAL");
  LOG_ERROR("Failed to get package share directory: {}", "kelvaron_diagnosis");
  LOG_INFO("Timer thread stopped");
  LOG_WARN("Diagnosis already initialized");
}

void logUnregistered()
{
  for (int i = 1; i <= 4; ++i) {
    LOG_INFO("frame {} of {}", i, "/scan_01");
  }
  LOG_WARN("Sensor topic not registered: {}", "/scan");
}

void logCount(int count)
{
  for (int i = 1; i <= count; ++i) {
    LOG_INFO("message {}", i);
  }
}

// Several threads race to make the first call, which constructs the logger.
void logFromThreads()
{
  constexpr int kThreads = 4;
  constexpr int kPerThread = 25;
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&go, t] {
      while (!go.load()) {
        std::this_thread::yield();
      }
      for (int i = 0; i < kPerThread; ++i) {
        LOG_INFO("thread {} message {}", t, i);
      }
    });
  }
  go.store(true);
  for (std::thread & thread : threads) {
    thread.join();
  }
}

void reportTimerStarted() { AT_SITE(LOG_INFO("Timer thread started")); }

void logSites()
{
  reportTimerStarted();
  const auto warn_unregistered = [](const std::string & topic) {
    AT_SITE(LOG_WARN("Sensor topic not registered: {}", topic));
  };
  warn_unregistered("/scan");
  AT_SITE(LOG_ERROR("Failed to auto-initialize diagnosis system with config: {}", "a\nb.yaml"));
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::string scenario = argc > 1 ? argv[1] : "";
  if (scenario == "idle") {
    return 0;
  }
  if (scenario == "late") {
    std::cout << "before the first message\n";
    LOG_INFO("Timer thread started");
    return 0;
  }
  if (scenario == "mixed") {
    logMixed();
    return 0;
  }
  if (scenario == "unregistered") {
    logUnregistered();
    return 0;
  }
  if (scenario == "count" && argc > 2) {
    logCount(std::atoi(argv[2]));
    return 0;
  }
  if (scenario == "threads") {
    logFromThreads();
    return 0;
  }
  if (scenario == "sites") {
    logSites();
    return 0;
  }
  std::cerr
    << "usage: logger_probe idle | late | mixed | unregistered | threads | sites | count <n>\n";
  return 2;
}
