#pragma once

#include <cstdint>
#include <string>

namespace kelvaron::monitor
{

// What a person reads for an event id seen on one of the library's topics. Ids are shared
// by some streams (8015: the four ultrasonic lasers, 8014: the two colour cameras) and 0 is
// used by every stream without an id of its own, so such ids name their group.
std::string eventLabel(const std::string & topic, int32_t event_id, const std::string & event_msg);

// "NORMAL" for 0; any other status is abnormal.
const char * statusName(int32_t event_status);

}  // namespace kelvaron::monitor
