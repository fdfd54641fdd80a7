#ifndef RMW__SERIALIZED_MESSAGE_H_
#define RMW__SERIALIZED_MESSAGE_H_

#include "rcutils/types/uint8_array.h"

// A message as the middleware carries it: CDR encapsulation header, then the body.
typedef rcutils_uint8_array_t rmw_serialized_message_t;

#endif  // RMW__SERIALIZED_MESSAGE_H_
