#ifndef ROS2_STANDIN__TEST__INTEROP__STEP_FILES_HPP_
#define ROS2_STANDIN__TEST__INTEROP__STEP_FILES_HPP_

// The test steps the stand-in publisher through files in a directory they share: plain,
// race-free across processes, and nothing to leak if either side dies.

#include <fstream>
#include <string>

#include <unistd.h>

namespace interop
{

// The test's Fast DDS readers have matched: publish the events.
constexpr char kStepGo[] = "go";
// Create one more node, so that the discovery information changes.
constexpr char kStepAddNode[] = "add_node";
// The test has what it needs: exit.
constexpr char kStepDone[] = "done";

inline std::string step_path(const std::string & directory, const char * step)
{
  return directory + "/" + step;
}

inline bool step_reached(const std::string & directory, const char * step)
{
  return access(step_path(directory, step).c_str(), F_OK) == 0;
}

inline bool announce_step(const std::string & directory, const char * step)
{
  return static_cast<bool>(std::ofstream(step_path(directory, step)));
}

}  // namespace interop

#endif  // ROS2_STANDIN__TEST__INTEROP__STEP_FILES_HPP_
