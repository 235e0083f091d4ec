#!/usr/bin/env bash
# Builds and runs the benchmarks (optimised build); arguments go to Google Benchmark.
set -euo pipefail
TABULON_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$TABULON_ROOT/scripts/deps.sh"
tabulon_install_deps
tabulon_install_bench_deps
tabulon_build "$TABULON_ROOT/build/bench" -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF -DTABULON_BENCH=ON
export QT_QPA_PLATFORM=offscreen
for b in "$TABULON_ROOT"/build/bench/bench/tabulon_bench_*; do
    if [ -f "$b" ] && [ -x "$b" ]; then "$b" "$@"; fi
done
