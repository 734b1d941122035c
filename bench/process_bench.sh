#!/usr/bin/env bash
# Whole-process figures for vemlo-reg, with hyperfine: get and set against git config --file and
# against the sqlite3 shell doing the same on the same file, get on a 10 MB hive against the same
# get on a small one, and get and set while another connection holds the hive locked.
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

# The sqlite3 shell doing what get and set do: resolve the four components of the key path,
# then read or upsert the value, with the store's journal and sync settings.
resolve="SELECT k4.id FROM keys k1 JOIN keys k2 ON k2.parent=k1.id JOIN keys k3 ON k3.parent=k2.id
    JOIN keys k4 ON k4.parent=k3.id WHERE k1.parent=0 AND k1.folded='software'
    AND k2.folded='vemlo' AND k3.folded='lumra-bokforing-service' AND k4.folded='timers'"
bench -n "vemlo-reg get" "$reg get '$key' Nextrun" \
    -n "sqlite3 get" "sqlite3 $small \"SELECT data FROM vals WHERE key=($resolve) AND folded='nextrun'\""
upsert() {
    echo "sqlite3 $small \"PRAGMA journal_mode=TRUNCATE; PRAGMA synchronous=FULL;
        INSERT INTO vals VALUES(($resolve), 'Nextrun', 'nextrun', '$1')
        ON CONFLICT(key, folded) DO UPDATE SET data=excluded.data\""
}
bench --prepare "$reg set '$key' Nextrun other" -n "vemlo-reg set" \
    "$reg set '$key' Nextrun '2026-12-11 06:00'" \
    --prepare "$(upsert other)" -n "sqlite3 set" "$(upsert '2026-12-11 06:00')"

# Under a lock held by another connection: each command gives up after its one budget.
python3 -c "
import sqlite3, sys, time
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute('BEGIN EXCLUSIVE')
print('held', flush=True)
time.sleep(600)" "$small" > "$work/held" &
holder=$!
until grep -q held "$work/held" 2>/dev/null; do sleep 0.1; done
hyperfine -N --runs 3 --style basic -i -n "vemlo-reg get, hive locked" "$reg get '$key' Nextrun" \
    -n "vemlo-reg set, hive locked" "$reg set '$key' Nextrun locked" \
    -n "vemlo-reg delete, hive locked" "$reg delete '$key'"
kill "$holder"
