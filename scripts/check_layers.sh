#!/usr/bin/env bash
# Fails when a source folder includes a header of a folder above it. Layers, lowest
# first: platform, data, platform/widgets, document, designers, shell. The data layer
# knows no widgets, so the widget half of the platform counts as above it. A test
# folder may use the folder it tests, the layers below it and the test support.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(platform data platform/widgets document designers shell)
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
check_folder() {
    local folder="$1" own="$2" file line header layer
    [ -d "$folder" ] || return 0
    while IFS= read -r file; do
        while IFS= read -r line; do
            header="${line#*\"}"
            header="${header%%\"*}"
            layer="$(header_layer "$header")"
            [ -n "$layer" ] || continue
            if [ "$(rank "$layer")" -gt "$(rank "$own")" ]; then
                echo "layer violation: $file includes $header ($layer is above $own)"
                status=1
            fi
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    done < <(find "$folder" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \))
}

for layer in "${layers[@]}"; do
    check_folder "$layer" "$layer"
    check_folder "tests/$layer" "$layer"
done
exit $status
