#!/usr/bin/env bash
# Configures, builds and runs the host project against an install prefix.
# Usage: run_host_check.sh <source dir> <scratch dir> <install prefix>
set -euo pipefail
source_dir=$1 scratch=$2 prefix=$3
rm -rf "$scratch"
# The prefixes of the sourced workspace (colcon installs each package in a prefix of its own).
search="$prefix;${CMAKE_PREFIX_PATH:-};${AMENT_PREFIX_PATH:-}"
search=${search//:/;}
cmake -S "$source_dir" -B "$scratch" -DCMAKE_PREFIX_PATH="$search" \
  -DPython3_EXECUTABLE=/usr/bin/python3 >"$scratch.log" 2>&1 || { cat "$scratch.log"; exit 1; }
cmake --build "$scratch" >>"$scratch.log" 2>&1 || { cat "$scratch.log"; exit 1; }
LD_LIBRARY_PATH="$prefix/lib:${LD_LIBRARY_PATH:-}" "$scratch/host_check" | tee -a "$scratch.log"
grep -q "host check passed" "$scratch.log"
grep -q "\[INFO\] Registered sensor threshold: /scan_01" "$scratch.log"
grep -q "\[INFO\] host check ran with 1 sensor" "$scratch.log"
