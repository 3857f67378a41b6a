#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each over its corpus.
#   scripts/fuzz.sh            each target for 60 seconds
#   scripts/fuzz.sh 600        each target for 600 seconds
#   scripts/fuzz.sh --smoke    each target for a short fixed run (what the test command does)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

seconds=${1:-60}
runs=""
if [ "$seconds" = "--smoke" ]; then
  seconds=4
  runs="-runs=30000"
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCALV_FUZZ=ON -DCALV_TESTS=OFF -DCALV_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"

for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  target="build-fuzz/${name}_fuzz"
  [ -x "$target" ] || continue
  # New inputs go to a scratch folder: the committed corpus stays as it is.
  scratch=$(mktemp -d)
  echo "== $name: ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 "$target" -seed=1 -max_total_time="$seconds" $runs -print_final_stats=1 \
    "$scratch" "$corpus" 2>&1 | grep -E "stat::number_of_executed_units|Done|ERROR|SUMMARY" || true
  status=${PIPESTATUS[0]}
  rm -rf "$scratch"
  if [ "$status" -ne 0 ]; then
    echo "fuzz target $name failed" >&2
    exit 1
  fi
done
