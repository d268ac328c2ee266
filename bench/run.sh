#!/usr/bin/env bash
# Builds and runs the benchmarks; prints one line per figure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/prepare.sh
cmake --build build --target bench_exchange bench_backup bench_routes -j"$(nproc)" >/dev/null
build/bin/bench_exchange 2>/dev/null
build/bin/bench_backup 2>/dev/null
build/bin/bench_routes 2>/dev/null
