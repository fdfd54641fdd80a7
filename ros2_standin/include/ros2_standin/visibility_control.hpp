#ifndef ROS2_STANDIN__VISIBILITY_CONTROL_HPP_
#define ROS2_STANDIN__VISIBILITY_CONTROL_HPP_

// The library is built with hidden visibility; only what carries this macro is exported.
#define ROS2_STANDIN_PUBLIC __attribute__((visibility("default")))

#endif  // ROS2_STANDIN__VISIBILITY_CONTROL_HPP_
