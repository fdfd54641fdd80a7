#!/usr/bin/env bash
# Soak test: runs a host with the default threshold file's sensors at their normal rates, with
# status events, the config watcher on and periodic valid and invalid edits of a copy of the
# file, sampling RSS; passes when memory plateaued. Everything DDS stays on loopback.
#
# Usage: scripts/soak.sh [SECONDS]   (default 180)
# Builds into $KD_BUILD-soak and $KD_INSTALL-soak (or KD_SOAK_BUILD, KD_SOAK_INSTALL);
# KD_SOAK_SKIP_BUILD=1 reuses that build. The host's full output stays in the run folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
seconds=${1:-180}
soak_build=${KD_SOAK_BUILD:-$KD_BUILD-soak}
soak_install=${KD_SOAK_INSTALL:-$KD_INSTALL-soak}

"$KD_ROOT/scripts/setup.sh" >/dev/null
mkdir -p "$soak_build"
if [ "${KD_SOAK_SKIP_BUILD:-0}" = 1 ]; then
  echo "soak: KD_SOAK_SKIP_BUILD=1, using the host already in $soak_install"
else
  echo "soak: building into $soak_build"
  if ! colcon build \
    --base-paths "$KD_ROOT" --packages-up-to kelvaron_diagnosis \
    --build-base "$soak_build" --install-base "$soak_install" \
    --executor sequential --event-handlers console_cohesion- summary- \
    --cmake-args -DPython3_EXECUTABLE=/usr/bin/python3 -DBUILD_TESTING=OFF \
    -DKELVARON_BUILD_SOAK=ON >"$soak_build/colcon.log" 2>&1; then
    tail -n 40 "$soak_build/colcon.log" >&2
    echo "soak: build failed, full log in $soak_build/colcon.log" >&2
    exit 2
  fi
fi
KD_INSTALL=$soak_install kd_source_install

run=$soak_build/run
rm -rf "$run"
mkdir -p "$run"
log=$run/host.log
echo "soak: running ${seconds}s on loopback (log $log)"
set +e
"$KD_ROOT/scripts/loopback_only.sh" \
  "$soak_build/kelvaron_diagnosis/soak/kelvaron_soak_host" --workdir "$run" --duration "$seconds" \
  >"$log" 2>&1
status=$?
set -e

count() { grep -c -F -- "$1" "$log" || true; }
grep '^soak: ' "$log" | grep -v '^soak: edit ' || true
echo "soak: watcher reloads $(count 'Config file modified, auto-reloading...'), succeeded" \
  "$(count '[INFO] Config reloaded successfully'), rolled back" \
  "$(count 'Config reload failed, rolling back to previous configuration')"
echo "soak: log lines $(wc -l <"$log"), library errors other than reload ones:" \
  "$(grep -F '[ERROR]' "$log" | grep -v -c -E 'Config|YAML|Sensor .*invalid' || true)"
echo "soak: every RSS sample in $run/rss.csv"
if [ "$status" -ne 0 ]; then
  echo "soak: FAILED (host exit $status)" >&2
fi
exit "$status"
