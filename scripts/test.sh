#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then one with AddressSanitizer
# and UndefinedBehaviorSanitizer; then the tests of the threaded parts once more, built
# with ThreadSanitizer (scripts/tsan.sh). GUI tests run on the offscreen platform.
# CTEST_PARALLEL_LEVEL sets how many tests run at once (all processors by default).
set -euo pipefail
TABULON_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$TABULON_ROOT/scripts/deps.sh"
tabulon_install_deps

echo "== layer check"
bash "$TABULON_ROOT/scripts/check_layers.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs="${CTEST_PARALLEL_LEVEL:-$(nproc)}"

echo "== normal build"
tabulon_build "$TABULON_ROOT/build/test" -DCMAKE_BUILD_TYPE=Debug -DTABULON_WERROR=ON
ctest --test-dir "$TABULON_ROOT/build/test" --output-on-failure -j "$jobs"

echo "== sanitizer build"
tabulon_build "$TABULON_ROOT/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DTABULON_WERROR=ON -DTABULON_SANITIZE=ON
ctest --test-dir "$TABULON_ROOT/build/sanitize" --output-on-failure -j "$jobs"

echo "== thread sanitizer build"
bash "$TABULON_ROOT/scripts/tsan.sh"
