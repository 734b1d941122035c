#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks it without installing it anywhere: the
# file list and modes, the computed dependencies, the menu entry, the manual pages (against the
# commands and exit codes the program really has), the maintainer scripts in a scratch root, and
# lintian.
#   check_package.sh BUILD_DIR SOURCE_DIR
set -uo pipefail

build_dir=$1
source_dir=$2
scratch="$build_dir/package-check"
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A manual page's section, rendered at a fixed width. Taken whole into a variable: a grep -q
# reading it from a pipe would end before awk, whose broken pipe pipefail then reports.
section() {
    awk -v name="$2" '/^[A-Z]/ { inside = ($0 == name); next } inside' "$1"
}

for tool in cpack dpkg-deb desktop-file-validate man lintian fakeroot; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done

rm -rf "$scratch"
mkdir -p "$scratch"
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
debs=("$scratch"/out/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: no single .deb: ${debs[*]}" >&2
    exit 1
fi
deb=${debs[0]}

# Contents: exactly the expected files with their modes, all owned by root.
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' >"$scratch/contents.txt"
diff -u "$source_dir/tests/packaging/expected_contents.txt" "$scratch/contents.txt" ||
    fail "package contents differ from tests/packaging/expected_contents.txt"
dpkg-deb -c "$deb" | awk '$2 != "root/root" { print }' | grep . && fail "files not owned by root"

# Dependencies computed from the linked libraries, and executable maintainer scripts.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libqt6dbus6 libsqlite3-0; do
    [[ "$depends" =~ (^|, )$library\  ]] || fail "Depends lacks $library: $depends"
done
dpkg-deb -e "$deb" "$scratch/control"
for script in postinst postrm; do
    [ "$(stat -c %a "$scratch/control/$script")" = 755 ] || fail "$script is not mode 755"
done

dpkg -x "$deb" "$scratch/root"
root="$scratch/root"

# The menu entry: valid, in System and Settings, with a program and an icon that the package has.
desktop="$root/usr/share/applications/lumra-export-admin.desktop"
validation=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $validation"
grep -E ': (error|warning):' <<<"$validation" && fail "desktop-file-validate complains"
categories=$(sed -n 's/^Categories=//p' "$desktop")
for category in System Settings; do
    [[ ";$categories" == *";$category;"* ]] || fail "Categories lacks $category: $categories"
done
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$program" ] || fail "Exec=$program is not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in scalable/apps/"$icon".svg 48x48/apps/"$icon".png; do
    [ -s "$root/usr/share/icons/hicolor/$size" ] || fail "icon hicolor/$size is missing"
done

# The manual pages render without a warning.
for page in "$root"/usr/share/man/man1/*.1.gz; do
    name=$(basename "$page" .1.gz)
    MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$scratch/$name.txt" 2>"$scratch/$name.warnings" ||
        fail "man -l $name"
    [ -s "$scratch/$name.warnings" ] && fail "man warns on $name: $(cat "$scratch/$name.warnings")"
done

# vemlo-reg(1) documents every command the packaged program offers, every exit code it has, the
# environment it reads and where the hives are. A tag is a line indented by seven blanks.
page="$scratch/vemlo-reg.txt"
usage=$(env -i "$root/usr/bin/vemlo-reg" --help) || fail "the packaged vemlo-reg does not run"
commands=$(head -n 1 <<<"$usage" | sed 's/^usage: vemlo-reg \[[^]]*\] //; s/ | /\n/g' |
    awk '{ print $1 }')
[ -n "$commands" ] || fail "no commands in the usage text: $usage"
for command in $commands; do
    grep -qE "^       $command( |$)" <<<"$(section "$page" COMMANDS)" ||
        fail "vemlo-reg(1) COMMANDS lacks $command"
done
codes=$(sed -n 's/^inline constexpr int kReg[A-Za-z]* = \([0-9]*\);/\1/p' \
    "$source_dir/vemlo-reg/reg_command.h")
[ -n "$codes" ] || fail "no exit codes found in vemlo-reg/reg_command.h"
for code in $codes; do
    grep -qE "^       $code( |$)" <<<"$(section "$page" "EXIT STATUS")" ||
        fail "vemlo-reg(1) EXIT STATUS lacks $code"
done
variables=$(grep -o 'Environment("[A-Z_]*")' "$source_dir/platform/linux/hive_paths.cpp" |
    sed 's/Environment("\(.*\)")/\1/')
for variable in $variables; do
    grep -qE "^       $variable( |$)" <<<"$(section "$page" ENVIRONMENT)" ||
        fail "vemlo-reg(1) ENVIRONMENT lacks $variable"
done
for file in /var/lib/vemlo/machine.hive "\$XDG_CONFIG_HOME/vemlo/user.hive"; do
    grep -qF "       $file" <<<"$(section "$page" FILES)" || fail "vemlo-reg(1) FILES lacks $file"
done

# lumra-export-ctl(1) documents every command and exit code the packaged program has; its bash
# completion lies where bash-completion loads it on demand, by the command's name, and completes
# the verbs.
page="$scratch/lumra-export-ctl.txt"
usage=$(env -i "$root/usr/bin/lumra-export-ctl" --help) || fail "the packaged lumra-export-ctl does not run"
commands=$(sed -n 's/^ *\(usage: \)\{0,1\}lumra-export-ctl \(\[--json\] \)\{0,1\}\([a-z-]*\( [a-z]*\)\{0,1\}\).*/\3/p' \
    <<<"$usage" | sort -u)
[ -n "$commands" ] || fail "no commands in the usage text: $usage"
while read -r command; do
    grep -qF "$command" <<<"$(section "$page" COMMANDS)" ||
        fail "lumra-export-ctl(1) COMMANDS lacks $command"
done <<<"$commands"
codes=$(sed -n 's/^inline constexpr int kCtl[A-Za-z]* = \([0-9]*\);/\1/p' "$source_dir/ctl/ctl_exit.h")
[ -n "$codes" ] || fail "no exit codes found in ctl/ctl_exit.h"
for code in $codes; do
    grep -qE "^       $code( |$)" <<<"$(section "$page" "EXIT STATUS")" ||
        fail "lumra-export-ctl(1) EXIT STATUS lacks $code"
done
completion="$root/usr/share/bash-completion/completions/lumra-export-ctl"
[ -f "$completion" ] || fail "no bash completion at ${completion#"$root"}"
completed=$(bash -c '_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]};
        words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
    source "$1"; COMP_WORDS=(lumra-export-ctl config s); COMP_CWORD=2
    _lumra_export_ctl; echo "${COMPREPLY[*]}"' _ "$completion")
[ "$completed" = "show set" ] || fail "the completion of 'config s' is '$completed'"

# The maintainer scripts, run in a scratch root: postinst makes the hive folder with mode 1777 and
# mends its mode on upgrade; postrm keeps it on remove and upgrade, and on purge takes it away only
# when empty. Each step: script, argument, a file to leave in the folder or -, expected mode or
# "absent".
hive="$scratch/maintroot/var/lib/vemlo"
steps=(
    "postinst configure - 1777"
    "postrm upgrade - 1777"
    "postrm remove - 1777"
    "postinst configure - 1777"
    "postrm purge machine.hive 1777"
    "postinst configure - 1777"
    "postrm purge - absent"
    "postrm purge - absent"
)
mkdir -p "$scratch/maintroot"
for script in postinst postrm; do
    # A script that ignored DPKG_ROOT would change the real /var/lib/vemlo.
    # shellcheck disable=SC2016 # the text itself, not its expansion
    grep -qF '"$DPKG_ROOT/var/lib/vemlo"' "$scratch/control/$script" ||
        { echo "FAIL: $script does not honour DPKG_ROOT; not run" >&2; exit 1; }
done
for step in "${steps[@]}"; do
    read -r script argument keep expected <<<"$step"
    if [ "$keep" = - ]; then
        rm -f "$hive"/*
    else
        touch "$hive/$keep"
    fi
    [ -d "$hive" ] && [ "$script" = postinst ] && [ "$argument" = configure ] && chmod 0755 "$hive"
    result=$(DPKG_ROOT="$scratch/maintroot" fakeroot sh "$scratch/control/$script" "$argument" 2>&1 &&
        if [ -d "$hive" ]; then stat -c %a "$hive"; else echo absent; fi)
    [ "$result" = "$expected" ] || fail "$step: got '$result'"
done

# postinst sets the hive up as the folder's owner, and takes over a hive that a user wrote first
# (as an earlier version let happen) with its contents. It needs real ownership, so real root.
if [ "$(id -u)" = 0 ]; then
    hive_file="$hive/machine.hive"
    reg() { VEMLO_MACHINE_HIVE="$hive_file" "$root/usr/bin/vemlo-reg" "$@"; }
    configure() { PATH="$root/usr/bin:$PATH" DPKG_ROOT="$scratch/maintroot" sh "$scratch/control/postinst" configure; }
    rm -rf "$hive"
    configure || fail "postinst configure on a fresh root"
    for file in "$hive_file" "$hive_file-journal"; do
        [ "$(stat -c '%u %a' "$file" 2>&1)" = "0 666" ] || fail "postinst made $file: $(stat -c '%u %a' "$file" 2>&1)"
    done
    reg set 'S\K' V stored || fail "vemlo-reg set on the hive postinst made"
    chown 65534:65534 "$hive_file" "$hive_file-journal"
    chmod 0600 "$hive_file"
    configure 2>"$scratch/postinst-takeover.txt" || fail "postinst configure on a user's hive"
    grep -q "taken over from uid 65534" "$scratch/postinst-takeover.txt" ||
        fail "postinst did not report the take-over: $(cat "$scratch/postinst-takeover.txt")"
    for file in "$hive_file" "$hive_file-journal"; do
        [ "$(stat -c '%u %a' "$file")" = "0 666" ] || fail "postinst left $file: $(stat -c '%u %a' "$file")"
    done
    [ "$(reg get 'S\K' V)" = stored ] || fail "the value did not survive the take-over"
    configure 2>"$scratch/postinst-again.txt" && [ ! -s "$scratch/postinst-again.txt" ] ||
        fail "postinst run again changed something: $(cat "$scratch/postinst-again.txt")"
else
    echo "SKIP: postinst's take-over of a user's hive needs root"
fi

# lintian: no error and no warning; deliberate ones would go to an overrides file with a reason.
lintian --fail-on error,warning --pedantic -I "$deb" >"$scratch/lintian.txt" 2>&1 ||
    fail "lintian: $(cat "$scratch/lintian.txt")"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "package checked: $deb"
