#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kelvaron
{

// The members through which the object starts, wakes and joins one of its threads (the
// health-check timer or the configuration watcher).
struct WorkerThread
{
  std::mutex & control;            // serialises start and stop
  std::atomic<bool> & running;     // true while the thread is to run
  std::thread & thread;            // the thread itself
  std::mutex & wait_mutex;         // paired with `wake` in the thread's timed wait
  std::condition_variable & wake;  // wakes the thread early
};

// Runs `body` on a new thread unless one is already running; returns whether it started one.
// `before_start` runs first under the control lock (tests make it throw, as std::thread does
// when the system refuses a thread). When no thread can be created the running flag is cleared
// again before the exception leaves, so the next start tries afresh.
bool startWorker(
  const WorkerThread & worker, std::function<void()> body,
  const std::function<void()> & before_start);

// Tells a running thread to stop, wakes it and joins it; returns whether one was running.
bool stopWorker(const WorkerThread & worker);

}  // namespace kelvaron
