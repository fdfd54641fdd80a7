#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what clang-format (.clang-format) makes of it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$KD_ROOT"
mapfile -t files < <(git ls-files '*.cpp' '*.hpp' '*.h' '*.c')
if clang-format --dry-run -Werror "${files[@]}"; then
  echo "check_format: ${#files[@]} files formatted"
else
  echo "check_format: files out of format (fix with: clang-format -i FILE...)" >&2
  exit 1
fi
