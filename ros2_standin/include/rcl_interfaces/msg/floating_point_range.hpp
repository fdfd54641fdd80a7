#ifndef RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_
#define RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_

namespace rcl_interfaces
{
namespace msg
{

// rcl_interfaces/msg/FloatingPointRange as a plain struct; step 0.0 allows any value between
// from_value and to_value.
struct FloatingPointRange
{
  double from_value = 0.0;
  double to_value = 0.0;
  double step = 0.0;
};

}  // namespace msg
}  // namespace rcl_interfaces

#endif  // RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_
