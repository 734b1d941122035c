#!/usr/bin/env bash
# The kernel's link protection of a stock Debian 12 (fs.protected_regular=2,
# fs.protected_symlinks=1, fs.protected_hardlinks=1) for the tests of the shared hive, which build
# machines often lack; a CTest fixture's set-up ("set") and clean-up ("restore"), so the values
# from before are put back even after a failed test.
#   debian_link_protection.sh set|restore STATE_FILE
# Where the values cannot be changed (not root, /proc/sys read-only) the set-up says so and the
# tests that need them skip with the reason.
set -uo pipefail

action=$1
state=$2
wanted=(protected_regular=2 protected_symlinks=1 protected_hardlinks=1)

case $action in
set)
    # A state file left by a run that was killed holds the values from before that run.
    if [ ! -e "$state" ]; then
        for setting in "${wanted[@]}"; do
            name=${setting%=*}
            echo "$name=$(cat "/proc/sys/fs/$name")"
        done >"$state.new" && mv "$state.new" "$state"
    fi
    for setting in "${wanted[@]}"; do
        name=${setting%=*}
        value=${setting#*=}
        if ! { echo "$value" >"/proc/sys/fs/$name"; } 2>/dev/null; then
            echo "cannot set fs.$name=$value (not root, or /proc/sys is read-only): the tests that need it skip"
        fi
    done
    exit 0
    ;;
restore)
    [ -e "$state" ] || exit 0
    failed=0
    while IFS== read -r name value; do
        [ "$(cat "/proc/sys/fs/$name")" = "$value" ] && continue
        echo "$value" >"/proc/sys/fs/$name" || { echo "FAIL: cannot restore fs.$name=$value" >&2; failed=1; }
    done <"$state"
    [ "$failed" -eq 0 ] && rm -f "$state"
    exit "$failed"
    ;;
*)
    echo "usage: debian_link_protection.sh set|restore STATE_FILE" >&2
    exit 2
    ;;
esac
