#ifndef RCL__TYPES_H_
#define RCL__TYPES_H_

#include <stdint.h>

#include "rmw/serialized_message.h"

typedef int32_t rcl_ret_t;

#define RCL_RET_OK 0
#define RCL_RET_ERROR 1
#define RCL_RET_TIMEOUT 2
#define RCL_RET_UNSUPPORTED 3
#define RCL_RET_BAD_ALLOC 10
#define RCL_RET_INVALID_ARGUMENT 11
#define RCL_RET_ALREADY_INIT 100
#define RCL_RET_NOT_INIT 101
#define RCL_RET_TOPIC_NAME_INVALID 103
#define RCL_RET_UNKNOWN_SUBSTITUTION 105
#define RCL_RET_ALREADY_SHUTDOWN 106
#define RCL_RET_NODE_INVALID 200
#define RCL_RET_NODE_INVALID_NAME 201
#define RCL_RET_NODE_INVALID_NAMESPACE 202
#define RCL_RET_PUBLISHER_INVALID 300
#define RCL_RET_SUBSCRIPTION_INVALID 400
#define RCL_RET_SUBSCRIPTION_TAKE_FAILED 401

typedef rmw_serialized_message_t rcl_serialized_message_t;

#endif  // RCL__TYPES_H_
