#!/usr/bin/env bash
# The code's floors, lowest first: a folder includes only folders on a lower floor (or its own).
# Folders on one line share a floor and do not include each other.
set -euo pipefail
cd "$(dirname "$0")/.."

floors=(
    "model ftd2xx"
    "link"
    "commands backupfile"
    "datasets lsbupdate routes"
    "workflows"
    "ui tools/cli tools/sim tools/drawimages"
    "app"
)

declare -A floor_of
for i in "${!floors[@]}"; do
    for folder in ${floors[$i]}; do floor_of[$folder]=$i; done
done

status=0
for folder in "${!floor_of[@]}"; do
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [[ -e $file ]] || continue
        # Includes of another folder name it from the top: "link/frame.h".
        while IFS= read -r target; do
            target_folder=${target%/*}
            [[ -v floor_of[$target_folder] && $target_folder != "$folder" ]] || continue
            if ((floor_of[$target_folder] >= floor_of[$folder])); then
                echo "$file includes $target: $target_folder is not below $folder"
                status=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
        # Climbing out of the folder is the same include by another path.
        if grep -q '^[[:space:]]*#[[:space:]]*include[[:space:]]*"\.\./' "$file"; then
            echo "$file includes a path with ../: name the folder from the top"
            status=1
        fi
    done
done
exit $status
