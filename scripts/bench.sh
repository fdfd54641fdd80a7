#!/usr/bin/env bash
# Builds the benchmarks (Release, into build-bench/ and install-bench/ unless KD_BUILD and
# KD_INSTALL say otherwise), runs them on loopback only, writes their JSON to bench/results/,
# prints every figure as a ratio to its baseline from the same run and plots the health-pass
# cost to docs/bench_pass_cost.png. About four minutes once built, plus about 16 minutes for
# the floor and large-graph sections.
#
#   scripts/bench.sh [SECTION...]   sections: reports pass memory node_load metrics floor
#                                   large_graph (all when none is named)
set -euo pipefail
all_sections="reports pass memory node_load metrics floor large_graph"
sections=" ${*:-$all_sections} "
for section in $sections; do
  [[ " $all_sections " == *" $section "* ]] || { echo "bench.sh: no section '$section'" >&2; exit 2; }
done
want() { [[ "$sections" == *" $1 "* ]]; }
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KD_BUILD=${KD_BUILD:-$root/build-bench}
export KD_INSTALL=${KD_INSTALL:-$root/install-bench}
source "$root/scripts/env.sh"

"$KD_ROOT/scripts/setup.sh"
"$KD_ROOT/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DKELVARON_BUILD_BENCHMARKS=ON
kd_source_install

results=$KD_ROOT/bench/results
bench=$KD_BUILD/kelvaron_diagnosis/bench
mkdir -p "$results"
# A domain of its own on loopback, whatever the caller's ROS environment says.
export ROS_DOMAIN_ID=${KD_BENCH_DOMAIN_ID:-87} ROS_LOCALHOST_ONLY=1
unset CYCLONEDDS_URI
# Repetitions run in random order, so that a noisy moment spreads over every benchmark alike.
repeated=(--benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
  --benchmark_min_time=0.1)

# run NAME SPDLOG_STDOUT PROGRAM [ARGS...]
run() {
  local name=$1 spdlog_stdout=$2
  shift 2
  echo "=== $name" >&2
  SPDLOG_STDOUT=$spdlog_stdout "$KD_ROOT/scripts/loopback_only.sh" "$@" \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json
}

node_program=$KD_INSTALL/kelvaron_diagnosis/lib/kelvaron_diagnosis/kelvaron_diag_node

if want reports; then
  # The logger without sinks (SPDLOG_STDOUT=false) ...
  run reports false "$bench/kelvaron_bench_reports" "${repeated[@]}"
  # ... and with its standard-output sink writing to /dev/null.
  run reports_stdout_devnull true "$bench/kelvaron_bench_reports" "${repeated[@]}" \
    --benchmark_filter='^(Baseline/MutexClockCounter|Baseline/RawWrite|FrameReport/Unregistered|DataStatus/Accepted)$' \
    >/dev/null
fi
if want pass; then
  for mode in none local remote; do
    run "pass_$mode" false "$bench/kelvaron_bench_pass" "--subscriber=$mode" "${repeated[@]}"
  done
fi
if want memory; then
  run memory false "$bench/kelvaron_bench_memory"
fi
if want node_load; then
  # Not a Google Benchmark: one kelvaron_diag_node under stepped load, one line per step.
  echo "=== node_load" >&2
  SPDLOG_STDOUT=false "$KD_ROOT/scripts/loopback_only.sh" "$bench/kelvaron_bench_node_load" \
    "$node_program" 5 | tee "$results/node_load.txt"
fi
if want metrics; then
  # Not a Google Benchmark either: the metrics endpoint with 1000 streams, off and on in turns.
  echo "=== metrics" >&2
  SPDLOG_STDOUT=false "$KD_ROOT/scripts/loopback_only.sh" "$bench/kelvaron_bench_metrics" \
    "$node_program" 20 | tee "$results/metrics.txt"
fi
if want floor; then
  # kelvaron_diag_node against a node that only counts, in alternating rounds on the same loads
  # (about 12 minutes; KD_FLOOR_ARGS="--rounds 3 --seconds 5" for a quicker look).
  echo "=== floor" >&2
  # shellcheck disable=SC2086
  SPDLOG_STDOUT=false "$KD_ROOT/scripts/loopback_only.sh" "$bench/kelvaron_bench_floor" \
    "$node_program" "$bench/kelvaron_bench_floor_node" ${KD_FLOOR_ARGS:-} |
    tee "$results/floor.txt"
fi
if want large_graph; then
  # 1000 watched topics among 5000 idle ones: the node's refresh time and its idle CPU.
  echo "=== large_graph" >&2
  # shellcheck disable=SC2086
  SPDLOG_STDOUT=false "$KD_ROOT/scripts/loopback_only.sh" "$bench/kelvaron_bench_large_graph" \
    "$node_program" "$bench/kelvaron_bench_graph_publishers" ${KD_LARGE_GRAPH_ARGS:-} |
    tee "$results/large_graph.txt"
fi

# The tables and the plot need every Google Benchmark section.
if ! want reports || ! want pass || ! want memory; then
  exit 0
fi
/usr/bin/python3 "$KD_ROOT/kelvaron_diagnosis/bench/ratio_table.py" "$results"
mkdir -p "$KD_ROOT/docs"
/usr/bin/python3 "$KD_ROOT/kelvaron_diagnosis/bench/plot_pass_cost.py" "$results" \
  "$KD_ROOT/docs/bench_pass_cost.png"
