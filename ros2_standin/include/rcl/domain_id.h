#ifndef RCL__DOMAIN_ID_H_
#define RCL__DOMAIN_ID_H_

#include <stdint.h>  // SIZE_MAX

// Asks for the default domain: ROS_DOMAIN_ID, else 0.
#define RCL_DEFAULT_DOMAIN_ID SIZE_MAX

#endif  // RCL__DOMAIN_ID_H_
