#!/usr/bin/env bash
# Builds and runs the benchmarks (optimised build); arguments go to Google Benchmark.
set -euo pipefail
TABULON_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$TABULON_ROOT/scripts/deps.sh"
tabulon_install_deps
# The backup and grid benchmarks time the sqlite3 shell's .backup and VACUUM beside the
# program's: the shell is needed for the benchmarks only.
tabulon_install_bench_deps
tabulon_build "$TABULON_ROOT/build/bench" -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF -DTABULON_BENCH=ON
export QT_QPA_PLATFORM=offscreen
for b in "$TABULON_ROOT"/build/bench/bench/tabulon_bench_*; do
    if [ -f "$b" ] && [ -x "$b" ]; then
        # The machine may be shared: the load average beside each program's figures.
        echo "$(basename "$b"): load average before $(cut -d' ' -f1-3 /proc/loadavg)"
        "$b" "$@"
        echo "$(basename "$b"): load average after $(cut -d' ' -f1-3 /proc/loadavg)"
    fi
done
