#!/usr/bin/env bash
# Fails when a file of a layer includes a header of a layer above its own, or of another program.
# From the bottom: platform, toolkit, config, admin (the window's logic without widgets), then the
# programs side by side: app (the window), vemlo-reg, datalink-editor, ctl. A file may include
# headers of its own folder and of the layers below. Tests, benchmarks, fuzzers and scripts may
# include anything.
#   check_layers.sh SOURCE_DIR
set -euo pipefail

root=$1
ranks=(platform toolkit config admin "app vemlo-reg datalink-editor ctl")

status=0
for ((own = 0; own < ${#ranks[@]}; ++own)); do
    for folder in ${ranks[own]}; do
        if [[ ! -d $root/$folder ]]; then
            echo "no folder $root/$folder" >&2
            exit 1
        fi
        forbidden=()
        for ((other = own; other < ${#ranks[@]}; ++other)); do
            for candidate in ${ranks[other]}; do
                [[ $candidate == "$folder" ]] || forbidden+=("$candidate")
            done
        done
        for above in "${forbidden[@]}"; do
            if grep -rnE --include='*.h' --include='*.cpp' \
                "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]${above}/" "$root/$folder"; then
                echo "$folder/ may not include headers of $above/" >&2
                status=1
            fi
        done
    done
done
exit $status
