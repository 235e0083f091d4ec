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

layers=(platform data platform/widgets document designers shell)
declare -A room_rank=(
    [pictures]=0 [strip]=0
    [session]=1
    [datasheet]=2 [diagram]=2
    [report]=3 [dialogs]=3
    [grid]=4
    [windows]=5
)

rank() {
    local i
    for i in "${!layers[@]}"; do
        [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    echo -1
}

# The layer a header path belongs to: its longest folder prefix among the layers.
header_layer() {
    case "$1" in
        platform/widgets/*) echo platform/widgets ;;
        platform/*|data/*|document/*|designers/*|shell/*) echo "${1%%/*}" ;;
        *) echo "" ;;
    esac
}

status=0
fail() {
    echo "$1"
    status=1
}

# The includes of one file, one quoted header path a line.
includes_of() {
    grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$1" | sed -E 's/^[^"]*"([^"]*)".*/\1/' || true
}

check_folder() {
    local folder="$1" own="$2" file header layer
    [ -d "$folder" ] || return 0
    while IFS= read -r file; do
        while IFS= read -r header; do
            layer="$(header_layer "$header")"
            [ -n "$layer" ] || continue
            if [ "$(rank "$layer")" -gt "$(rank "$own")" ]; then
                fail "layer violation: $file includes $header ($layer is above $own)"
            fi
        done < <(includes_of "$file")
    done < <(find "$folder" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \))
}

# The rooms of document/ (or of its tests): each file is in a known room and, unless
# the second argument is "any", includes only headers of its own room or of rooms
# ranked below it.
check_rooms() {
    local folder="$1" order="${2:-}" file room header target
    [ -d "$folder" ] || return 0
    while IFS= read -r file; do
        fail "room violation: $file is not in a room of document/"
    done < <(find "$folder" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \))
    while IFS= read -r file; do
        room="${file#"$folder"/}"
        room="${room%%/*}"
        if [ -z "${room_rank[$room]+set}" ]; then
            fail "room violation: $file is in $room, which is not a room of document/"
            continue
        fi
        [ "$order" = any ] && continue
        while IFS= read -r header; do
            case "$header" in
                document/*/*) target="${header#document/}"; target="${target%%/*}" ;;
                document/*) fail "room violation: $file includes $header, which is in no room"; continue ;;
                *) continue ;;
            esac
            [ "$target" = "$room" ] && continue
            if [ -z "${room_rank[$target]+set}" ]; then
                fail "room violation: $file includes $header, which is in no room"
            elif [ "${room_rank[$target]}" -ge "${room_rank[$room]}" ]; then
                fail "room violation: $file includes $header ($target is not below $room)"
            fi
        done < <(includes_of "$file")
    done < <(find "$folder" -mindepth 2 -type f \( -name '*.cpp' -o -name '*.h' \))
}

for layer in "${layers[@]}"; do
    check_folder "$layer" "$layer"
    check_folder "tests/$layer" "$layer"
done
check_rooms document
check_rooms tests/document any
# The rooms' files belong to the document layer as a whole.
while IFS= read -r dir; do
    check_folder "$dir" document
    check_folder "tests/$dir" document
done < <(find document -mindepth 1 -maxdepth 1 -type d | sort)
exit $status
