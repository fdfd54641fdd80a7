#include "sensor_diagnosis/worker_thread.hpp"

#include <utility>

namespace kelvaron
{

bool startWorker(
  const WorkerThread & worker, std::function<void()> body,
  const std::function<void()> & before_start)
{
  // The control lock makes a concurrent stop wait until the thread object is stored; assigning
  // a thread over a joinable one would end the process.
  std::lock_guard<std::mutex> control(worker.control);
  bool stopped = false;
  if (!worker.running.compare_exchange_strong(stopped, true)) {
    return false;
  }
  try {
    if (before_start) {
      before_start();
    }
    worker.thread = std::thread(std::move(body));
  } catch (...) {
    worker.running.store(false);
    throw;
  }
  return true;
}

bool stopWorker(const WorkerThread & worker)
{
  std::lock_guard<std::mutex> control(worker.control);
  bool running = true;
  if (!worker.running.compare_exchange_strong(running, false)) {
    return false;
  }
  // Passing through the wait mutex orders the flag before the thread's next predicate test, so
  // a thread about to wait sees it at once instead of sleeping until its deadline.
  {
    std::lock_guard<std::mutex> wait_lock(worker.wait_mutex);
  }
  worker.wake.notify_all();
  if (worker.thread.joinable()) {
    worker.thread.join();
  }
  return true;
}

}  // namespace kelvaron
