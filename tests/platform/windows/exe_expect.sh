# Sourced by the scripts that run a program under Wine: `expect CODE OUTPUT ARGS...` runs
# "$program" and compares its exit code and standard output (Windows line ends taken as plain
# ones), counting mismatches in `failures`. The caller sets `program` and `out` (a file).
wine=/usr/lib/wine/wine64
failures=0

expect() {
    local code="$1" output="$2"
    shift 2
    "$wine" "$program" "$@" </dev/null >"$out" 2>/dev/null
    local status=$?
    local got
    got="$(tr -d '\r' <"$out")"
    if [ "$status" != "$code" ] || [ "$got" != "$output" ]; then
        echo "FAILED: $(basename "$program") $*: exit $status (expected $code), output '$got' (expected '$output')"
        failures=$((failures + 1))
    fi
}
