#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the workspace and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KD_ROOT/scripts/setup.sh"
"$KD_ROOT/scripts/build.sh" "$@"
kd_source_install

status=0
for package in ros2_standin kelvaron_diagnosis; do
  echo "=== tests of $package ==="
  "$KD_ROOT/scripts/loopback_only.sh" \
    ctest --test-dir "$KD_BUILD/$package" --output-on-failure --timeout 300 || status=1
done
if [ "$status" -ne 0 ]; then
  echo "SOME TESTS FAILED" >&2
else
  echo "ALL TESTS PASSED"
fi
exit "$status"
