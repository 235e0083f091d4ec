#!/usr/bin/env bash
# Builds Tabulon and starts it; arguments (a database file) are passed on.
set -euo pipefail
TABULON_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$TABULON_ROOT/scripts/deps.sh"
tabulon_install_deps
tabulon_build "$TABULON_ROOT/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULON_TESTS=OFF
exec "$TABULON_ROOT/build/release/tabulon" "$@"
