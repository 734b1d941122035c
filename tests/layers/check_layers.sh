#!/usr/bin/env bash
# Fails when a file of a layer includes a header of a layer above its own. From the top: app,
# config, toolkit, platform; a file may include headers of its own layer and of those below.
# Tests, benchmarks, fuzzers and scripts may include anything.
#   check_layers.sh SOURCE_DIR
set -euo pipefail

root=$1
layers=(platform toolkit config app)

status=0
for layer in "${layers[@]}"; do
    if [[ ! -d $root/$layer ]]; then
        echo "no folder $root/$layer" >&2
        exit 1
    fi
done
for ((own = 0; own < ${#layers[@]}; ++own)); do
    for ((above = own + 1; above < ${#layers[@]}; ++above)); do
        if grep -rnE --include='*.h' --include='*.cpp' \
            "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]${layers[above]}/" \
            "$root/${layers[own]}"; then
            echo "${layers[own]}/ may not include headers of ${layers[above]}/ (above)" >&2
            status=1
        fi
    done
done
exit $status
