#pragma once

// Each test process (and the tools it starts) gets a DDS domain that no other running test
// process holds, so test programs run side by side (ctest -j) never receive each other's
// events.

// Claims a free domain for the rest of this process's life and returns it.
int claimTestDomain();

// Sets ROS_DOMAIN_ID to a claimed domain unless the caller already chose one.
void useOwnTestDomain();
