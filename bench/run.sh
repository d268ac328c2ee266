#!/usr/bin/env bash
# Builds and runs every benchmark and prints a table: figure, goal, measured.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/prepare.sh >/dev/null
cmake --build build --target bench_exchange bench_backup bench_routes bench_routebook bench_latency bench_history gleistron-cli gleistron-sim -j"$(nproc)" >/dev/null
{
    printf 'figure\tgoal\tmeasured\n'
    build/bin/bench_exchange 2>/dev/null
    build/bin/bench_routes 2>/dev/null
    build/bin/bench_routebook 2>/dev/null
    build/bin/bench_backup 2>/dev/null
    build/bin/bench_latency 2>/dev/null
    build/bin/bench_history 2>/dev/null
    bench/bench_driver.sh build 2>/dev/null
} | column -t -s $'\t'
