#ifndef RMW__TYPES_H_
#define RMW__TYPES_H_

#include <stdint.h>

#define RMW_GID_STORAGE_SIZE 24u

// Globally unique id of a publisher; rmw_cyclonedds fills it with the DDS writer GUID.
typedef struct rmw_gid_s
{
  const char * implementation_identifier;
  uint8_t data[RMW_GID_STORAGE_SIZE];
} rmw_gid_t;

#endif  // RMW__TYPES_H_
