#pragma once

#include <functional>

namespace kelvaron
{

// Runs `hook` on every watcher thread just before it reloads, so tests can make that reload
// throw. An empty function removes it. Not installed and not exported: hosts cannot reach it.
void setConfigWatcherReloadHookForTesting(std::function<void()> hook);

}  // namespace kelvaron
