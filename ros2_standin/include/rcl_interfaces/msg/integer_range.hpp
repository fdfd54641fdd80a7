#ifndef RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_
#define RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_

#include <cstdint>

namespace rcl_interfaces
{
namespace msg
{

// rcl_interfaces/msg/IntegerRange as a plain struct: from_value and to_value are allowed, and
// with a step other than 0, only the values a whole number of steps from from_value.
struct IntegerRange
{
  int64_t from_value = 0;
  int64_t to_value = 0;
  uint64_t step = 0u;
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_
