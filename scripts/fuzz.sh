#!/usr/bin/env bash
# Builds the libFuzzer targets of kelvaron_diagnosis/fuzz (clang, ASan + UBSan) and runs each for
# a bounded time, starting from a seed corpus: the test data files and the default thresholds for
# the threshold-file targets, messages of the common stamped types for payload_report_fuzzer.
# Prints executions and findings per target; exits 1 when anything was found.
#
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 60; every target)
# The build goes to $KD_BUILD-fuzz and $KD_INSTALL-fuzz (or KD_FUZZ_BUILD, KD_FUZZ_INSTALL);
# KD_FUZZ_SKIP_BUILD=1 reuses it. The growing corpus and the findings stay in its runs/ folder.
# payload_report_fuzzer creates ROS nodes: every target runs loopback-only, in DDS domain
# KD_FUZZ_DOMAIN_ID (default 88).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
seconds=${1:-60}
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(config_reload_fuzzer check_config_fuzzer payload_report_fuzzer)
fuzz_build=${KD_FUZZ_BUILD:-$KD_BUILD-fuzz}
fuzz_install=${KD_FUZZ_INSTALL:-$KD_INSTALL-fuzz}
package=$KD_ROOT/kelvaron_diagnosis

# The dependencies build with the default compiler, then kelvaron_diagnosis alone with clang
# and its instrumentation; both sides use libstdc++.
colcon_build() {
  colcon build \
    --base-paths "$KD_ROOT" --build-base "$fuzz_build" --install-base "$fuzz_install" \
    --executor sequential --event-handlers console_cohesion- summary- "$@" \
    >>"$fuzz_build/colcon.log" 2>&1
}
build_fuzzers() {
  : >"$fuzz_build/colcon.log"
  colcon_build --packages-up-to brimtale_protocol \
    --cmake-args -DPython3_EXECUTABLE=/usr/bin/python3 -DBUILD_TESTING=OFF &&
    colcon_build --packages-select kelvaron_diagnosis \
      --cmake-args -DPython3_EXECUTABLE=/usr/bin/python3 -DBUILD_TESTING=OFF \
      -DCMAKE_CXX_COMPILER=clang++ -DKELVARON_BUILD_FUZZERS=ON
}

"$KD_ROOT/scripts/setup.sh" >/dev/null
mkdir -p "$fuzz_build"
if [ "${KD_FUZZ_SKIP_BUILD:-0}" = 1 ]; then
  echo "fuzz: KD_FUZZ_SKIP_BUILD=1, using the targets already in $fuzz_build"
else
  echo "fuzz: building into $fuzz_build"
  if ! build_fuzzers; then
    tail -n 40 "$fuzz_build/colcon.log" >&2
    echo "fuzz: build failed, full log in $fuzz_build/colcon.log" >&2
    exit 2
  fi
fi

runs=$fuzz_build/runs
seeds=$runs/seeds
rm -rf "$seeds"
mkdir -p "$seeds"
cp "$package"/test/data/config/*.yaml "$package/config/sensor_thresholds.yaml" "$seeds/"
payload_seeds=$runs/payload_seeds
rm -rf "$payload_seeds"
mkdir -p "$payload_seeds"
"$fuzz_build/kelvaron_diagnosis/fuzz/payload_seeds" "$payload_seeds" >/dev/null
export ROS_LOCALHOST_ONLY=1 ROS_DOMAIN_ID=${KD_FUZZ_DOMAIN_ID:-88}

# Keep symbolised stacks in reports even though /usr/bin has no unversioned symbolizer.
symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
[ -z "$symbolizer" ] || export ASAN_SYMBOLIZER_PATH=$symbolizer

status=0
summary=()
for target in "${targets[@]}"; do
  binary=$fuzz_build/kelvaron_diagnosis/fuzz/$target
  corpus=$runs/$target/corpus
  artifacts=$runs/$target/findings
  log=$runs/$target/last_run.log
  mkdir -p "$corpus" "$artifacts" "$runs/$target/tmp"
  case "$target" in
    payload_report_fuzzer) target_seeds=$payload_seeds dict=$package/fuzz/cdr.dict ;;
    *) target_seeds=$seeds dict=$package/fuzz/yaml.dict ;;
  esac
  # Findings of earlier runs stay for inspection; only this run's count.
  started=$runs/$target/started
  touch "$started"
  echo "fuzz: $target for ${seconds}s (log $log)"
  set +e
  # The scratch files of the targets go to TMPDIR; libFuzzer's own output goes to the log.
  TMPDIR=$runs/$target/tmp "$KD_ROOT/scripts/loopback_only.sh" "$binary" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -dict="$dict" -artifact_prefix="$artifacts/" -print_final_stats=1 \
    "$corpus" "$target_seeds" >"$log" 2>&1
  rc=$?
  set -e
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  [ -n "$executions" ] || executions=$(grep -o '^#[0-9]*' "$log" | tail -n 1 | tr -d '#')
  per_second=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
  corpus_size=$(find "$corpus" -type f | wc -l)
  findings=$(find "$artifacts" -type f -newer "$started" | wc -l)
  if [ "$rc" -ne 0 ] || [ "$findings" -ne 0 ]; then
    status=1
    echo "fuzz: $target FAILED (exit $rc), findings in $artifacts:" >&2
    grep -E 'ERROR: |property broken|SUMMARY|Test unit written' "$log" | head -n 20 >&2 || true
  fi
  summary+=("$(printf '%-22s %6ss %12s execs %8s/s  %-22s corpus %5s  findings %s' \
    "$target" "$seconds" "${executions:-?}" "${per_second:-?}" "${coverage:-?}" \
    "$corpus_size" "$findings")")
done

echo "fuzz: summary"
printf '  %s\n' "${summary[@]}"
exit "$status"
