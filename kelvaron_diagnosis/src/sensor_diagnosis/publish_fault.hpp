#pragma once

#include <functional>

namespace kelvaron
{

// Runs the fault installed by a test just before a health-check publication (it may throw,
// standing in for a failing middleware). Not installed and not exported.
void runPublishFaultHook();
void setPublishFaultForTesting(std::function<void()> fault);

}  // namespace kelvaron
