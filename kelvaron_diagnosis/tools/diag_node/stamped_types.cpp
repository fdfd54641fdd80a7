#include "stamped_types.hpp"

#include <algorithm>
#include <array>

namespace kelvaron::diag_node
{
namespace
{

// Every one of these has `std_msgs/Header header` as its first field. Kept sorted: the look-up
// is a binary search.
constexpr std::array<std::string_view, 41> kStampedTypes{{
  "diagnostic_msgs/msg/DiagnosticArray",
  "geometry_msgs/msg/AccelStamped",
  "geometry_msgs/msg/AccelWithCovarianceStamped",
  "geometry_msgs/msg/InertiaStamped",
  "geometry_msgs/msg/PointStamped",
  "geometry_msgs/msg/PolygonStamped",
  "geometry_msgs/msg/PoseArray",
  "geometry_msgs/msg/PoseStamped",
  "geometry_msgs/msg/PoseWithCovarianceStamped",
  "geometry_msgs/msg/QuaternionStamped",
  "geometry_msgs/msg/TransformStamped",
  "geometry_msgs/msg/TwistStamped",
  "geometry_msgs/msg/TwistWithCovarianceStamped",
  "geometry_msgs/msg/Vector3Stamped",
  "geometry_msgs/msg/WrenchStamped",
  "nav_msgs/msg/GridCells",
  "nav_msgs/msg/OccupancyGrid",
  "nav_msgs/msg/Odometry",
  "nav_msgs/msg/Path",
  "sensor_msgs/msg/BatteryState",
  "sensor_msgs/msg/CameraInfo",
  "sensor_msgs/msg/CompressedImage",
  "sensor_msgs/msg/FluidPressure",
  "sensor_msgs/msg/Illuminance",
  "sensor_msgs/msg/Image",
  "sensor_msgs/msg/Imu",
  "sensor_msgs/msg/JointState",
  "sensor_msgs/msg/LaserScan",
  "sensor_msgs/msg/MagneticField",
  "sensor_msgs/msg/MultiDOFJointState",
  "sensor_msgs/msg/MultiEchoLaserScan",
  "sensor_msgs/msg/NavSatFix",
  "sensor_msgs/msg/PointCloud",
  "sensor_msgs/msg/PointCloud2",
  "sensor_msgs/msg/Range",
  "sensor_msgs/msg/RelativeHumidity",
  "sensor_msgs/msg/Temperature",
  "sensor_msgs/msg/TimeReference",
  "std_msgs/msg/Header",
  "stereo_msgs/msg/DisparityImage",
  "visualization_msgs/msg/Marker",
}};

}  // namespace

bool knownToStartWithHeader(std::string_view type)
{
  return std::binary_search(kStampedTypes.begin(), kStampedTypes.end(), type);
}

}  // namespace kelvaron::diag_node
