#!/usr/bin/env bash
# Builds and runs the Google Benchmark suite (optimised build); extra arguments go to it,
# for example --benchmark_filter=Load.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCALV_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target calvcore_bench
build-bench/calvcore_bench "$@"
