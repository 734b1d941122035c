#!/usr/bin/env bash
# vemlo-reg.exe under Wine on the prefix's registry: each command's exit code and output, as on
# Linux. Usage: vemlo_reg_exe_test.sh VEMLO_REG_EXE
set -uo pipefail
program="$1"
# Wine takes the arguments' encoding from the locale.
export LC_ALL=C.UTF-8
key="SOFTWARE\\VemloTests\\vemlo-reg-$$"
out="$(mktemp)"
. "$(dirname "$0")/exe_expect.sh"
trap 'rm -f "$out"' EXIT

expect 0 "" set "$key\\Sub" Namn "Lön"
expect 0 "Lön" get "${key,,}\\SUB" NAMN
expect 1 "" --user get "$key\\Sub" Namn
expect 0 "" set "$key" Tom ""
expect 1 "" get "$key" Tom
expect 0 $'"Sub"\\\n"Tom"=""' list "$key"
expect 1 "" list "$key\\Missing"
expect 2 "" frobnicate
expect 2 "" get "\\$key"
# A subtree exported, deleted and imported again from standard input comes back whole.
exported="$(/usr/lib/wine/wine64 "$program" export "$key" </dev/null 2>/dev/null | tr -d '\r')"
expect 0 "" delete "$key"
expect 1 "" get "$key\\Sub" Namn
printf '%s\n' "$exported" | /usr/lib/wine/wine64 "$program" import - >/dev/null 2>&1
imported=$?
if [ "$imported" != 0 ]; then
    echo "FAILED: vemlo-reg import -: exit $imported (expected 0) for '$exported'"
    failures=$((failures + 1))
fi
expect 0 "Lön" get "$key\\Sub" Namn
expect 0 "" delete "$key"
expect 0 "" --user set "$key" Namn "Åsa"
expect 0 "Åsa" --user get "$key" Namn
expect 0 "" --user delete "$key"

[ "$failures" = 0 ] && echo "vemlo-reg.exe: every command as expected"
exit "$failures"
