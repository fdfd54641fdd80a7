#!/usr/bin/env bash
# Installs every Debian 12 package that the build, tests, examples and benchmarks need.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git python3
  ament-cmake ament-cmake-googletest python3-ament-package libament-index-cpp-dev
  colcon python3-colcon-cmake python3-colcon-ros python3-colcon-package-selection
  python3-colcon-output python3-colcon-test-result python3-colcon-library-path
  cyclonedds-dev cyclonedds-tools
  libyaml-cpp-dev libspdlog-dev libfmt-dev libsystemd-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3-colcon-bash clang-format util-linux iproute2
  libfastrtps-dev fastddsgen default-jre-headless
  clang libclang-rt-14-dev llvm-14
  python3-matplotlib
  prometheus-cpp-dev prometheus
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
