#!/usr/bin/env bash
# Builds the data and platform tests with ThreadSanitizer and runs them: the row
# loader's thread, its locks and its posts to the user-interface thread, and the copies
# of a database or a file made on a thread of their own while another thread writes the
# source. The test command runs it last; CTEST_PARALLEL_LEVEL sets how many tests run at
# once (all processors by default).
set -euo pipefail
TABULON_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$TABULON_ROOT/scripts/deps.sh"
tabulon_install_deps

export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$TABULON_ROOT/scripts/tsan.supp"
dir="$TABULON_ROOT/build/tsan"
tabulon_configure "$dir" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build "$dir" --target tabulon_data_tests tabulon_platform_tests
ctest --test-dir "$dir" --output-on-failure -j "${CTEST_PARALLEL_LEVEL:-$(nproc)}" -R '^(RowLoader|RecSet|RowAddress|RowIdList|Messages|Boxes|CaptionLines|Connection|DatabaseCopy|FileCopyTest|FileBesideTest)\.'
