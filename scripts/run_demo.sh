#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the workspace and runs the demo: a host process
# reporting simulated sensor streams and status events into the library, and a separate
# subscriber (kelvaron_diag_monitor) showing what arrives on the three event topics.
# Usage: scripts/run_demo.sh [SECONDS]   (default 15; Ctrl-C ends it early)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
duration=${1:-15}
"$KD_ROOT/scripts/setup.sh"
echo "Building the workspace (the first build takes several minutes)..."
KD_BUILD_EVENTS="console_cohesion- console_start_end+ summary+" \
  "$KD_ROOT/scripts/build.sh"
kd_source_install

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
