#pragma once

#include <functional>

namespace kelvaron
{

// What the object takes from its surroundings. Every field defaults to the real behaviour; only
// the library's own tests replace them, through their access struct, before the object's
// threads run.
struct Dependencies
{
  // Runs before each of the object's threads is created; throwing stands for a system that
  // refuses the thread.
  std::function<void()> before_thread_start;
  // Runs during every load, after the file's time is taken and before the file is read.
  std::function<void()> before_config_read;
};

}  // namespace kelvaron
