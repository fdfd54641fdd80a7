#!/usr/bin/env bash
# Builds the workspace twice more, with AddressSanitizer + UndefinedBehaviorSanitizer (and runs
# the whole suite) and with ThreadSanitizer (and runs every test that runs threads: the DDS
# tests of both packages, the stress tests and the configuration tests, the watcher's among
# them). Any finding fails, and so does a label selection that finds no test.
# Usage: scripts/test_sanitizers.sh [asan|tsan]...   (default: both)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KD_ROOT/scripts/setup.sh"
suppressions="$KD_ROOT/scripts/sanitizer"
reports="$KD_ROOT/build-sanitizer-reports"

run_variant() {
  local name=$1 flags=$2 ctest_args=$3
  echo "=== $name build ==="
  KD_BUILD="$KD_ROOT/build-$name" KD_INSTALL="$KD_ROOT/install-$name" \
  KD_BUILD_EVENTS="console_cohesion- console_start_end+ summary+" \
    "$KD_ROOT/scripts/build.sh" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
    "-DCMAKE_EXE_LINKER_FLAGS=$flags" "-DCMAKE_SHARED_LINKER_FLAGS=$flags" \
    -DROS2_STANDIN_INTEROP_TESTS=OFF --no-warn-unused-cli
  (
    KD_INSTALL="$KD_ROOT/install-$name"
    kd_source_install
    local status=0
    rm -rf "$reports" && mkdir -p "$reports"
    for package in ros2_standin kelvaron_diagnosis; do
      echo "=== $name tests of $package ==="
      # shellcheck disable=SC2086
      "$KD_ROOT/scripts/loopback_only.sh" ctest --test-dir "$KD_ROOT/build-$name/$package" \
        --output-on-failure --timeout 600 --no-tests=error $ctest_args || status=1
    done
    # Reports are written to files as well: a test that captures its standard error would
    # otherwise swallow them.
    if compgen -G "$reports/*" >/dev/null; then
      echo "=== $name reports ===" >&2
      cat "$reports"/* >&2
      status=1
    fi
    exit "$status"
  )
}

variants=("$@")
[ "${#variants[@]}" -gt 0 ] || variants=(asan tsan)
status=0
for variant in "${variants[@]}"; do
  case "$variant" in
    asan)
      export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_init_order=1:suppressions=$suppressions/asan.supp:log_path=$reports/asan"
      export LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0:log_path=$reports/lsan"
      export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
      run_variant asan "-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -O1" \
        "-LE install" || status=1
      ;;
    tsan)
      # Reports go to files too: a test that captures its standard error would swallow them.
      export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$suppressions/tsan.supp:log_path=$reports/tsan"
      run_variant tsan "-fsanitize=thread -O1" "-L stress|dds|config" || status=1
      ;;
    *) echo "unknown variant $variant (asan, tsan)" >&2; exit 2 ;;
  esac
done
[ "$status" -eq 0 ] && echo "SANITIZER RUNS PASSED" || echo "SANITIZER FINDINGS OR FAILURES" >&2
exit "$status"
