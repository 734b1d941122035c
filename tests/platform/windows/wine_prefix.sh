#!/usr/bin/env bash
# The Wine prefix around the Windows test run (WINEPREFIX comes from the test's environment):
#   wine_prefix.sh setup TEST_SERVICE_EXE   registers the test service afresh
#   wine_prefix.sh cleanup                  ends the server and everything running in the prefix
set -euo pipefail
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
# Wine's server and background processes outlive the commands: they must not hold CTest's
# output open, so every command's output goes to a file or nowhere.
log="$WINEPREFIX.log"
case "$1" in
setup)
    # Drive N: of Wine's "network" type, a folder of the prefix, for the universal names' tests.
    # The mount manager reads the drives' types when it starts: the server starts afresh once.
    if [ ! -L "$WINEPREFIX/dosdevices/n:" ]; then
        mkdir -p "$WINEPREFIX/network-drive"
        "$wine" reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f \
            </dev/null >>"$log" 2>&1
        ln -s ../network-drive "$WINEPREFIX/dosdevices/n:"
        "$server" -k </dev/null >>"$log" 2>&1 || true
        "$server" -w </dev/null >>"$log" 2>&1 || true
    fi
    "$server" -p30 </dev/null >>"$log" 2>&1 || true
    "$wine" sc stop VemloTestService </dev/null >>"$log" 2>&1 || true
    "$wine" sc delete VemloTestService </dev/null >>"$log" 2>&1 || true
    # Wine's drive Z: is the root of the Unix file system.
    binary="Z:${2//\//\\}"
    "$wine" sc create VemloTestService binPath= "$binary" </dev/null >>"$log" 2>&1
    ;;
cleanup)
    "$server" -k 2>/dev/null || true
    ;;
esac
