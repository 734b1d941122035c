#!/usr/bin/env bash
# Whole-process figures for lumra-export-ctl, with hyperfine: status (text and JSON) and config
# list on a hive with 100 configurations, beside vemlo-reg get on the same hive as the floor of
# a process that opens it.
#   bench/ctl_bench.sh [LUMRA_EXPORT_CTL] [VEMLO_REG] [RUNS]
set -euo pipefail
ctl=$(realpath "${1:-build/default/ctl/lumra-export-ctl}")
reg=$(realpath "${2:-build/default/vemlo-reg/vemlo-reg}")
runs=${3:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEMLO_USER_HIVE="$work/user.hive" VEMLO_MACHINE_HIVE="$work/machine.hive"
"$ctl" schedule set --period vecka --day fredag --time 06:30 >/dev/null
for i in $(seq 100); do
    "$ctl" config add --name "Konfiguration $i" --folder "/srv/export/$i" --file "bok$i" >/dev/null
done
echo "configurations: $("$ctl" config list | wc -l), system bus: ${DBUS_SYSTEM_BUS_ADDRESS:-default}"
hyperfine -N --warmup 10 --runs "$runs" --style basic \
    -n "lumra-export-ctl status" "$ctl status" \
    -n "lumra-export-ctl --json status" "$ctl --json status" \
    -n "lumra-export-ctl config list" "$ctl config list" \
    -n "vemlo-reg get" "$reg get 'SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Timers' Period"
