#!/usr/bin/env bash
# Soak tests. Everything DDS stays on loopback (and in the caller's ROS_DOMAIN_ID).
#
# scripts/soak.sh [SECONDS]   (default 180): runs a host with the default threshold file's
#   sensors at their normal rates, with status events, the config watcher on and periodic valid
#   and invalid edits of a copy of the file, sampling RSS; passes when memory plateaued.
# scripts/soak.sh --node [SECONDS]   (default 300): runs kelvaron_diag_node against 50 topics
#   whose publishers (processes of their own) restart every few seconds, some with the other
#   message type, some going away for good, some appearing late; passes when the node's RSS and
#   threads stay within 10 % of their level after warm-up, every returning stream reads OK on
#   /diagnostics within 3 s, and every warning in the node's log has a cause. KD_SOAK_SEED
#   (default 1) seeds the schedule.
#
# Builds into $KD_BUILD-soak and $KD_INSTALL-soak (or KD_SOAK_BUILD, KD_SOAK_INSTALL);
# KD_SOAK_SKIP_BUILD=1 reuses that build. The full output stays in the run folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
mode=host
if [ "${1:-}" = --node ]; then
  mode=node
  shift
fi
if [ "$mode" = node ]; then
  seconds=${1:-300}
else
  seconds=${1:-180}
fi
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

if [ "$mode" = node ]; then
  log=$run/churn.log
  echo "soak: node mode, ${seconds}s on loopback (log $log, node log $run/node.log)"
  set +e
  "$KD_ROOT/scripts/loopback_only.sh" \
    "$soak_build/kelvaron_diagnosis/soak/kelvaron_soak_churn" \
    --node "$soak_build/kelvaron_diagnosis/tools/kelvaron_diag_node" \
    --stream "$soak_build/kelvaron_diagnosis/soak/kelvaron_soak_stream" \
    --workdir "$run" --duration "$seconds" --seed "${KD_SOAK_SEED:-1}" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  set -e
  echo "soak: every usage sample in $run/node_usage.csv"
  if [ "$status" -ne 0 ]; then
    echo "soak: FAILED (churn driver exit $status)" >&2
  fi
  exit "$status"
fi

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
