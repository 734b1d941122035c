#!/usr/bin/env bash
# lumra-export-ctl.exe under Wine on the prefix's registry and service control manager: each
# command's exit code and output, as on Linux. The service is the prefix's test program,
# registered for the run under the export service's name.
# Usage: lumra_export_ctl_exe_test.sh LUMRA_EXPORT_CTL_EXE VEMLO_REG_EXE TEST_SERVICE_EXE
set -uo pipefail
program="$1"
reg="$2"
# Wine takes the arguments' encoding from the locale.
export LC_ALL=C.UTF-8
service_key='SOFTWARE\Vemlo\Lumra-Bokforing-Service'
out="$(mktemp)"
. "$(dirname "$0")/exe_expect.sh"

# Nothing of an earlier run, and nothing of this one afterwards.
cleanup() {
    "$wine" sc stop VemloLumraBokfExport </dev/null >/dev/null 2>&1
    "$wine" sc delete VemloLumraBokfExport </dev/null >/dev/null 2>&1
    "$wine" "$reg" delete "$service_key" </dev/null >/dev/null 2>&1
}
trap 'cleanup; rm -f "$out"' EXIT
cleanup

stored() {
    "$wine" "$reg" get "$service_key\\$1" "$2" </dev/null 2>/dev/null | tr -d '\r'
}

check() {
    if [ "$2" != "$3" ]; then
        echo "FAILED: $1: '$2' (expected '$3')"
        failures=$((failures + 1))
    fi
}

expect 0 "0" config add --name Kassan --folder 'C:\export'
expect 0 "1" config add
expect 0 $'0\tKassan\n1\tConfig-1' config list
expect 0 "" config set --slot 1 --name "Lön"
expect 1 "" config show Saknas
expect 1 "" config add --name=
check "stored folder" "$(stored 'Configurations\Config-0' ExportPathBokforing)" 'C:\export\'
json="$("$wine" "$program" --json config show "Lön" </dev/null 2>/dev/null)"
check "--json parsed back" "$(python3 -c 'import json, sys; c = json.loads(sys.argv[1]); print(c["Slot"], c["Name"], c["DataProvider"])' "$json" 2>&1)" "1 Lön DefaultDataProvider"
expect 2 "" schedule set --period dag --day måndag
expect 0 "" schedule set --period vecka --day fredag --time 07:30
check "Period" "$(stored Timers Period)" 7
check "Dag" "$(stored Timers Dag)" 5
expect 0 "" config remove Kassan
expect 0 $'0\tLön' config list

# Wine's drive Z: is the root of the Unix file system.
"$wine" sc create VemloLumraBokfExport binPath= "Z:${3//\//\\}" </dev/null >/dev/null 2>&1
expect 0 "Status: SERVICE_RUNNING" service start
expect 1 "Status: SERVICE_RUNNING" service start
expect 0 "Status: SERVICE_STOPPED" service stop
expect 0 "Status: SERVICE_STOPPED" service stop

[ "$failures" = 0 ] && echo "lumra-export-ctl.exe: every command as expected"
exit "$failures"
