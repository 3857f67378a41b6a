#!/usr/bin/env bash
# Builds calvcore and runs the demo host, which paints a picture through the C API and
# writes it to demo.png (or the path given).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target calvcore_demo
build/calvcore_demo "${1:-demo.png}"
