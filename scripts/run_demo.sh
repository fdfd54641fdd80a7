#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the workspace and runs the demo: simulated sensor
# drivers publishing in a process of their own, kelvaron_diag_node watching their topics from a
# threshold file alone (with /diagnostics on), and kelvaron_diag_monitor showing every stream by
# its topic. scripts/run_demo.sh --in-process runs the older demo instead: a host that links the
# library and reports its frames itself. scripts/run_demo.sh --sim runs the drivers inside a
# simulation (/clock at half real time, with a three-second pause) and the node with
# use_sim_time, so the streams stay healthy however slow or paused the simulation runs.
# Usage: scripts/run_demo.sh [--in-process | --sim] [SECONDS]   (default 15; Ctrl-C ends it early)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
mode=node
case "${1:-}" in
  --in-process) mode=in-process; shift ;;
  --sim) mode=sim; shift ;;
esac
duration=${1:-15}
"$KD_ROOT/scripts/setup.sh"
echo "Building the workspace (the first build takes several minutes)..."
KD_BUILD_EVENTS="console_cohesion- console_start_end+ summary+" \
  "$KD_ROOT/scripts/build.sh"
kd_source_install

if [ "$mode" = in-process ]; then
  exec "$KD_ROOT/scripts/loopback_only.sh" bash -c '
    duration=$1
    monitor_pid=
    trap "kill -INT \$monitor_pid 2>/dev/null; wait" INT TERM
    kelvaron_diag_monitor --duration $((duration + 2)) --interval 3 &
    monitor_pid=$!
    sleep 1
    "$KD_INSTALL/kelvaron_demo/lib/kelvaron_demo/demo_host" --duration "$duration" &
    wait
  ' bash "$duration"
fi

sensor_args=()
node_args=()
if [ "$mode" = sim ]; then
  sensor_args=(--sim)
  node_args=(--ros-args -p use_sim_time:=true)
fi

exec "$KD_ROOT/scripts/loopback_only.sh" bash -c '
  duration=$1
  shift
  sensor_args=()
  node_args=()
  while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do sensor_args+=("$1"); shift; done
  shift
  node_args=("$@")
  pids=()
  trap "kill -INT \${pids[*]} 2>/dev/null; wait" INT TERM
  demo_lib="$KD_INSTALL/kelvaron_demo/lib/kelvaron_demo"
  demo_config="$KD_INSTALL/kelvaron_demo/share/kelvaron_demo/config/demo_thresholds.yaml"
  kelvaron_diag_node --config "$demo_config" "${node_args[@]}" > /dev/null &
  pids+=($!)
  kelvaron_diag_monitor --duration $((duration + 1)) --interval 3 &
  pids+=($!)
  sleep 1
  "$demo_lib/demo_sensors" --duration "$duration" "${sensor_args[@]}"
  wait "${pids[1]}"
  kill -INT "${pids[0]}" 2>/dev/null
  wait
' bash "$duration" "${sensor_args[@]}" -- "${node_args[@]}"
