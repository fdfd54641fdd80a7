#pragma once

// The edits the soak applies to its copy of the threshold file while the watcher runs: valid
// ones (changed limits, a sensor added, the busiest sensor dropped) and invalid ones (a syntax
// error, a value out of range, an empty file), in a fixed cycle.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvaron_soak
{

struct ThresholdEdit
{
  std::string name;
  std::string content;
  bool valid;
};

// Built from the original file's text; the last edit of the cycle restores it.
std::vector<ThresholdEdit> editCycle(const std::string & original);

// Replaces `path` with `content` by a rename, so the watcher never reads half a file, with its
// modification time set to `seconds` since the epoch.
void applyEdit(const std::string & path, const std::string & content, int64_t seconds);

std::string readWholeFile(const std::string & path);

}  // namespace kelvaron_soak
