#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh LOADER PROGRAM ARGS... (the prefix comes from
# the environment). The Wine server stays up for 30 seconds after its last program, so the many
# short test programs of one run do not each wait for a server to start; it ends by itself.
if /usr/lib/wine/wineserver -p30 </dev/null >/dev/null 2>&1; then
    # A new server. Its system processes start with the first program and live as long as the
    # server: started here, they hold no output of the caller open, which CTest would wait for.
    "$1" cmd /c exit </dev/null >/dev/null 2>&1
fi
exec "$@"
