#!/usr/bin/env bash
# The folders under src depend one way: a file may include headers of its own
# folder and of the folders below it, never of a folder above it. A folder
# that is not in the order is an error too, so that a new one gets a place.
set -euo pipefail
cd "$(dirname "$0")/.."

# Lowest first.
order=(text win layout restore apps icons paint launcher daemon cli)

rank_of() {
    local i
    for i in "${!order[@]}"; do
        [[ ${order[$i]} == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

bad=0
for dir in src/*/; do
    folder=$(basename "$dir")
    own=$(rank_of "$folder")
    if ((own < 0)); then
        echo "src/$folder is not in the folder order of tools/check-folders.sh" >&2
        bad=1
        continue
    fi
    # file:line:#include "other/header.h"
    while IFS= read -r hit; do
        target=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$hit")
        theirs=$(rank_of "$target")
        if ((theirs > own)); then
            echo "${hit%%:#*}: $folder includes $target, which is above it: ${hit#*:*:}" >&2
            bad=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$dir" || true)
done

if ((bad)); then
    echo "Folder order, lowest first: ${order[*]}" >&2
    exit 1
fi
