# Sourced by the other scripts: the build runs with Debian's python3 (ament's CMake helpers
# import ament_package from it) and the install tree of this workspace.
KD_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KD_ROOT
export PATH=/usr/bin:/bin:/usr/sbin:/sbin:$PATH
KD_BUILD=${KD_BUILD:-$KD_ROOT/build}
KD_INSTALL=${KD_INSTALL:-$KD_ROOT/install}
export KD_BUILD KD_INSTALL

kd_source_install() {
  if [ ! -f "$KD_INSTALL/setup.bash" ]; then
    echo "no install tree at $KD_INSTALL: run scripts/build.sh first" >&2
    return 1
  fi
  set +u
  # shellcheck disable=SC1091
  source "$KD_INSTALL/setup.bash"
  set -u
}
