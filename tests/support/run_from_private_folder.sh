#!/usr/bin/env bash
# Runs the tests of test programs that start helpers as other users from copies in a folder that
# only root may enter, as a checkout under /root is: such a test must not depend on where the
# build lives.
#   run_from_private_folder.sh GTEST_FILTER PROGRAM...
# A program's helpers are found beside it, so each is copied with the helpers of its folder.
set -euo pipefail

filter=$1
shift
private=$(mktemp -d /tmp/vemlo-private-XXXXXX)
trap 'rm -rf "$private"' EXIT
chmod 0700 "$private"

failed=0
for program in "$@"; do
    copy="$private/$(basename "$program")"
    cp "$program" "$copy"
    for helper in store_writer; do
        cp "$(dirname "$program")/$helper" "$private/$helper"
    done
    output=$("$copy" --gtest_filter="$filter" 2>&1) || failed=1
    printf '%s\n' "$output"
    # A filter that selects nothing would pass without testing anything.
    grep -qE '^\[ +(OK|SKIPPED) +\]' <<<"$output" || { echo "FAIL: no test of $program ran" >&2; failed=1; }
done
exit "$failed"
