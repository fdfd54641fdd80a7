#ifndef RCL__ERROR_HANDLING_H_
#define RCL__ERROR_HANDLING_H_

#include <stdint.h>

// Same layout as rcutils' error state, which rcl hands to rclcpp's exceptions.
#define RCL_ERROR_STATE_MESSAGE_MAX_LENGTH 768
#define RCL_ERROR_STATE_FILE_MAX_LENGTH 229

typedef struct rcl_error_state_s
{
  char message[RCL_ERROR_STATE_MESSAGE_MAX_LENGTH];
  char file[RCL_ERROR_STATE_FILE_MAX_LENGTH];
  uint64_t line_number;
} rcl_error_state_t;

#endif  // RCL__ERROR_HANDLING_H_
