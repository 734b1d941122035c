#!/usr/bin/env bash
# Whole-process figures for vemlo-reg, with hyperfine: get and set against git config --file on
# the same machine, and get on a 10 MB hive against the same get on a small one.
#   bench/process_bench.sh [VEMLO_REG] [RUNS]
# Each set is preceded, untimed, by a set of another value, so that every timed set changes the
# stored value: SQLite writes nothing for an update that changes nothing.
set -euo pipefail
reg=$(realpath "${1:-build/default/app/vemlo-reg}")
runs=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEMLO_USER_HIVE="$work/user.hive"
key='SOFTWARE\Vemlo\Lumra-Bokforing-Service\Timers'
small="$work/small.hive"
large="$work/large.hive"
VEMLO_MACHINE_HIVE="$small" "$reg" set "$key" Nextrun "2026-12-11 06:00"
VEMLO_MACHINE_HIVE="$large" "$reg" set "$key" Nextrun "2026-12-11 06:00"
# About 10 MB of other keys, written as the store writes them.
sqlite3 "$large" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2300)
    INSERT INTO keys(parent, name, folded) SELECT 0, 'Big'||i, 'big'||i FROM n;
    INSERT INTO vals SELECT id, 'V', 'v', hex(randomblob(500)) FROM keys WHERE name LIKE 'Big%';"
git config --file "$work/git.config" lumra.nextrun "2026-12-11 06:00"
echo "large hive: $(du -h "$large" | cut -f1)"

bench() {
    hyperfine -N --warmup 20 --runs "$runs" --style basic "$@"
}
export VEMLO_MACHINE_HIVE="$small"
bench -n "vemlo-reg get" "$reg get '$key' Nextrun" \
    -n "git config get" "git config --file $work/git.config lumra.nextrun"
bench --prepare "$reg set '$key' Nextrun other" -n "vemlo-reg set" \
    "$reg set '$key' Nextrun '2026-12-11 06:00'"
bench --prepare "git config --file $work/git.config lumra.nextrun other" -n "git config set" \
    "git config --file $work/git.config lumra.nextrun '2026-12-11 06:00'"
# Both in one run, so that the machine's load falls on both alike.
bench -n "vemlo-reg get, small hive" "env VEMLO_MACHINE_HIVE=$small $reg get '$key' Nextrun" \
    -n "vemlo-reg get, 10 MB hive" "env VEMLO_MACHINE_HIVE=$large $reg get '$key' Nextrun"
