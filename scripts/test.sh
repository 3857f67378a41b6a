#!/usr/bin/env bash
# Builds calvcore twice (plain, and under AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs every test suite in both builds, then gives every fuzz target a short run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "== plain build"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== sanitizer build (ASan + UBSan)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DCALV_SANITIZE=ON -DCALV_BENCH=OFF
echo "== fuzz targets, a short run each"
scripts/fuzz.sh --smoke
