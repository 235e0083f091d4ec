#!/usr/bin/env bash
# Fails when a source folder includes a header of a folder above it. Layers, lowest
# first: platform, data, platform/widgets, document, designers, shell. The data layer
# knows no widgets, so the widget half of the platform counts as above it. A test
# folder may use the folder it tests, the layers below it and the test support.
#
# document/ is one library in rooms, and the rooms have an order of their own, lowest
# first; rooms of one rank do not include each other. Every file of document/ lives in
# a room named here. tests/document/ mirrors the rooms; a test may use any of them.
#
# Usage: check_layers.sh [SOURCE_ROOT] (the repository by default).
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

declare -A layer_rank=([platform]=0 [data]=1 [platform/widgets]=2 [document]=3 [designers]=4 [shell]=5)
declare -A room_rank=(
    [pictures]=0 [session]=0
    [strip]=1 [grid]=1
    [datasheet]=2 [diagram]=2
    [report]=3 [dialogs]=3
    [windows]=4
)

status=0
fail() {
    echo "$1"
    status=1
}

# The layer of a path below the source root (a header, or a file without tests/), in
# $layer; empty when it is in none.
layer_of() {
    case "$1" in
        platform/widgets/*) layer=platform/widgets ;;
        platform/*|data/*|document/*|designers/*|shell/*) layer="${1%%/*}" ;;
        *) layer="" ;;
    esac
}

# The room of a path below document/, in $room; empty for a file directly in document/.
room_of() {
    room="${1#document/}"
    case "$room" in
        */*) room="${room%%/*}" ;;
        *) room="" ;;
    esac
}

folders=(platform data document designers shell tests/platform tests/data tests/document tests/designers tests/shell)
present=()
for folder in "${folders[@]}"; do
    [ -d "$folder" ] && present+=("$folder")
done

# Every file of the library and of its tests is in a known room.
while IFS= read -r file; do
    path="${file#tests/}"
    room_of "$path"
    if [ -z "$room" ]; then
        fail "room violation: $file is not in a room of document/"
    elif [ -z "${room_rank[$room]+set}" ]; then
        fail "room violation: $file is in $room, which is not a room of document/"
    fi
done < <(find document tests/document -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null)

# Each include line as "file:header".
while IFS= read -r entry; do
    file="${entry%%:*}"
    header="${entry#*:}"
    header="${header#*\"}"
    header="${header%%\"*}"
    layer_of "$header"
    target="$layer"
    [ -n "$target" ] || continue
    path="${file#tests/}"
    layer_of "$path"
    own="$layer"
    if [ "${layer_rank[$target]}" -gt "${layer_rank[$own]}" ]; then
        fail "layer violation: $file includes $header ($target is above $own)"
        continue
    fi
    # Inside the library, a room includes its own room and the rooms below it.
    [ "$own" = document ] && [ "$target" = document ] && [ "$file" = "$path" ] || continue
    room_of "$path"
    from="$room"
    room_of "$header"
    to="$room"
    [ -n "$from" ] && [ -n "${room_rank[$from]+set}" ] || continue
    if [ -z "$to" ] || [ -z "${room_rank[$to]+set}" ]; then
        fail "room violation: $file includes $header, which is in no room"
    elif [ "$to" != "$from" ] && [ "${room_rank[$to]}" -ge "${room_rank[$from]}" ]; then
        fail "room violation: $file includes $header ($to is not below $from)"
    fi
done < <(grep -rHE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${present[@]}" || true)
exit $status
