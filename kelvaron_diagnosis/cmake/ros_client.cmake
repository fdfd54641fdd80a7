# Chooses the ROS 2 client library the package builds against: the real rclcpp when CMake
# finds it (a ROS 2 Humble machine), otherwise the ros2_standin package of this workspace,
# which offers the same headers and API subset over Cyclone DDS.
#
# Sets KELVARON_ROS_PACKAGES: the packages to depend on and to re-export to hosts, and
# KELVARON_CLOCK_PACKAGES: what a program that publishes /clock (the tests' simulated world)
# needs besides them, and KELVARON_FALLBACK_CONFIG_PATH: where the default threshold file lies
# in the release's own install tree, for when the ament index cannot find the package.
find_package(rclcpp QUIET)
if(rclcpp_FOUND)
  find_package(std_msgs REQUIRED)
  find_package(builtin_interfaces REQUIRED)
  find_package(diagnostic_msgs REQUIRED)
  find_package(brimtale_protocol REQUIRED)
  set(KELVARON_ROS_PACKAGES rclcpp std_msgs builtin_interfaces diagnostic_msgs brimtale_protocol)
  find_package(rosgraph_msgs REQUIRED)
  set(KELVARON_CLOCK_PACKAGES rosgraph_msgs)
  # The release, for the fixed fallback path under /opt/ros: what the environment names (a
  # sourced ROS 2 sets ROS_DISTRO), else what rclcpp's major version says.
  if(DEFINED ENV{ROS_DISTRO} AND NOT "$ENV{ROS_DISTRO}" STREQUAL "")
    set(KELVARON_ROS_DISTRO "$ENV{ROS_DISTRO}")
  elseif(rclcpp_VERSION VERSION_GREATER_EQUAL 28)
    set(KELVARON_ROS_DISTRO jazzy)
  else()
    set(KELVARON_ROS_DISTRO humble)
  endif()
  message(STATUS "kelvaron_diagnosis: building against rclcpp ${rclcpp_VERSION} (${KELVARON_ROS_DISTRO})")
else()
  find_package(ros2_standin REQUIRED)
  find_package(brimtale_protocol REQUIRED)
  set(KELVARON_ROS_PACKAGES ros2_standin brimtale_protocol)
  set(KELVARON_ROS_DISTRO humble)
  set(KELVARON_CLOCK_PACKAGES)
  message(STATUS "kelvaron_diagnosis: rclcpp not found, building against ros2_standin")
endif()
set(KELVARON_FALLBACK_CONFIG_PATH
  "/opt/ros/${KELVARON_ROS_DISTRO}/share/kelvaron_diagnosis/config/sensor_thresholds.yaml")
