#!/usr/bin/env bash
# Builds and installs every package of the workspace with colcon into build/ and install/.
# Extra arguments go to CMake, e.g. scripts/build.sh -DCMAKE_BUILD_TYPE=Debug
# KD_BUILD_EVENTS chooses colcon's event handlers (the default prints each package's build log).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$KD_ROOT"
colcon build \
  --base-paths "$KD_ROOT" \
  --build-base "$KD_BUILD" --install-base "$KD_INSTALL" \
  --executor sequential \
  --event-handlers ${KD_BUILD_EVENTS:-console_cohesion+ summary+} \
  --cmake-args --no-warn-unused-cli -DPython3_EXECUTABLE=/usr/bin/python3 -DBUILD_TESTING=ON "$@"
# rosdep (through rospkg) skips only folders marked CATKIN_IGNORE: without the marks,
# `rosdep install --from-paths . --ignore-src` from the repository root would read the
# package.xml copies in the install tree.
touch "$KD_BUILD/CATKIN_IGNORE" "$KD_INSTALL/CATKIN_IGNORE"
