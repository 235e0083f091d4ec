#!/usr/bin/env bash
# The layer check passes on the tree as it is and fails on each planted fault: an
# include from a lower room of document/ into a higher one (the grid into the datasheet,
# the strip or the dialogs), a file outside the rooms, a room the order does not know,
# and a layer reaching upwards.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
script="$root/scripts/check_layers.sh"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

status=0
copy_tree() {
    rm -rf "$scratch/tree"
    mkdir -p "$scratch/tree"
    (cd "$root" && cp -r platform data document designers shell tests "$scratch/tree/")
}
expect() {
    local want="$1" what="$2" out rc
    out="$(bash "$script" "$scratch/tree" 2>&1)"
    rc=$?
    if [ "$want" = pass ] && [ $rc -ne 0 ]; then
        echo "FAIL: $what: the check failed: $out"
        status=1
    elif [ "$want" = fail ] && [ $rc -eq 0 ]; then
        echo "FAIL: $what: the check passed"
        status=1
    else
        echo "ok: $what"
    fi
}

copy_tree
expect pass "the tree as it is"

echo '#include "document/windows/ctabulonview.h"' >> "$scratch/tree/document/grid/clistframe.cpp"
expect fail "grid/ includes windows/"

# The grid is a view below the datasheet: it reaches none of the rooms that use it.
for header in document/datasheet/cdataaccess.h document/strip/captiontarget.h document/dialogs/creferencedlg.h; do
    copy_tree
    echo "#include \"$header\"" >> "$scratch/tree/document/grid/clistctrlcombo_paint.cpp"
    expect fail "grid/ includes ${header#document/}"
done

copy_tree
echo '#include "document/grid/griditemmodel.h"' >> "$scratch/tree/document/datasheet/cdataaccess.h"
expect pass "datasheet/ includes grid/"

copy_tree
echo '#include "document/dialogs/creferencedlg.h"' >> "$scratch/tree/document/report/cchildview.h"
expect fail "report/ includes dialogs/, a room of the same rank"

copy_tree
echo '// stray' > "$scratch/tree/document/stray.cpp"
expect fail "a file directly in document/"

copy_tree
mkdir -p "$scratch/tree/document/misc"
echo '// stray' > "$scratch/tree/document/misc/stray.cpp"
expect fail "a room the order does not know"

copy_tree
echo '#include "shell/cmainframe.h"' >> "$scratch/tree/document/grid/clistframe.cpp"
expect fail "a room of document/ includes shell/"

copy_tree
echo '#include "document/windows/ctabulonview.h"' >> "$scratch/tree/tests/document/grid/clistframe_test.cpp"
expect pass "a grid test uses the windows room"

exit $status
