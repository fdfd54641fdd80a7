#ifndef RCUTILS__ALLOCATOR_H_
#define RCUTILS__ALLOCATOR_H_

#include <stddef.h>

#include "ros2_standin/visibility_control.hpp"

#ifdef __cplusplus
extern "C" {
#endif

// Same members as rcutils' allocator, which rclcpp's serialized messages carry.
typedef struct rcutils_allocator_s
{
  void * (*allocate)(size_t size, void * state);
  void (*deallocate)(void * pointer, void * state);
  void * (*reallocate)(void * pointer, size_t size, void * state);
  void * (*zero_allocate)(size_t number_of_elements, size_t size_of_element, void * state);
  void * state;
} rcutils_allocator_t;

// malloc, free, realloc and calloc.
ROS2_STANDIN_PUBLIC rcutils_allocator_t rcutils_get_default_allocator(void);

#ifdef __cplusplus
}
#endif

#endif  // RCUTILS__ALLOCATOR_H_
