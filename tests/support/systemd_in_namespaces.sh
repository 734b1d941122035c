#!/bin/sh
# Runs a real systemd as PID 1 of its own PID, mount, UTS, IPC, network and cgroup namespaces,
# for the tests of the service control backend:
#
#   systemd_in_namespaces.sh FOLDER CGROUP <&PIPE
#
# FOLDER holds units/ (SYSTEMD_UNIT_PATH), generators/ (empty), passwd and group (bound over
# /etc's, so the test users exist only inside), polkit-rules/ (bound over /etc/polkit-1/rules.d),
# bus/ (where dbus.socket listens as well) and console.log (systemd's own output). CGROUP, a fresh
# empty folder under the cgroup2 hierarchy, becomes the root of the new cgroup namespace and is
# mounted at /sys/fs/cgroup inside: on a hybrid machine (cgroup v1 with cgroup2 at
# /sys/fs/cgroup/unified) systemd then finds a pure unified hierarchy of its own.
#
# Everything runs until the standard input ends, which it does when the test closes its end of
# the pipe or dies: then every process in CGROUP is killed and the folder removed. Nothing
# outside the namespaces changes but FOLDER and CGROUP.
set -eu

if [ "${1:-}" = --inside ]; then
    folder=$2
    # The test's folder stays writable: the bus socket and the units live there.
    mount --bind "$folder" "$folder"
    # Everything else is read-only, so that nothing systemd or its services do reaches the host.
    awk '{ print $5 }' /proc/self/mountinfo | sort -u | while read -r point; do
        case "$point" in
        "$folder" | /proc | /proc/*) ;;
        *) mount -o remount,bind,ro "$point" 2>/dev/null || true ;;
        esac
    done
    mount --bind /proc/sys /proc/sys
    mount -o remount,bind,ro /proc/sys
    mount -t cgroup2 -o nosuid,nodev,noexec cgroup2 /sys/fs/cgroup
    mount -t tmpfs -o mode=0755,size=1m,nosuid tmpfs /dev
    mknod -m 0666 /dev/null c 1 3
    mknod -m 0666 /dev/zero c 1 5
    mknod -m 0666 /dev/full c 1 7
    mknod -m 0666 /dev/random c 1 8
    mknod -m 0666 /dev/urandom c 1 9
    touch /dev/console
    mount --bind "$folder/console.log" /dev/console
    # systemd reloads its units only with 16 MB free on /run; tmpfs takes only what is used.
    mount -t tmpfs -o mode=0755,size=64m,nosuid,nodev tmpfs /run
    mount --bind "$folder/passwd" /etc/passwd
    mount --bind "$folder/group" /etc/group
    mount --bind "$folder/polkit-rules" /etc/polkit-1/rules.d
    # A clean environment: the test's (a bus address of "disabled:", for one) would keep systemd
    # off its own bus. "container" keeps it from treating the machine as its own; only the
    # test's units and no generators, so nothing of the host's boot (tmpfiles, mounts, getty) is
    # pulled in.
    exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin container=vemlo-test \
        SYSTEMD_UNIT_PATH="$folder/units" SYSTEMD_GENERATOR_PATH="$folder/generators" \
        SYSTEMD_ENVIRONMENT_GENERATOR_PATH="$folder/generators" \
        /lib/systemd/systemd --system --unit=vemlo-test.target --log-target=console \
        --log-level=notice >>"$folder/console.log" 2>&1 </dev/null
fi

folder=$1
cgroup=$2
# Only the end of the standard input ends it: a Ctrl-C or a hang-up that reaches the test's whole
# process group must not take the launcher down before the test, which would leave systemd and
# its cgroup behind. Ignored signals stay ignored in cat and unshare as well.
trap '' HUP INT QUIT TERM
/bin/sh -c 'echo $$ >"$1/cgroup.procs" && exec unshare --pid --fork --mount-proc --mount --uts \
    --ipc --net --cgroup --propagation private --kill-child -- /bin/sh "$2" --inside "$3"' \
    sh "$cgroup" "$0" "$folder" </dev/null &
cat >/dev/null || true
# The kernel kills the whole cgroup, PID 1 of the namespaces included; the folders go once empty.
echo 1 >"$cgroup/cgroup.kill"
tries=0
while grep -q '^populated 1' "$cgroup/cgroup.events" && [ "$tries" -lt 100 ]; do
    sleep 0.05
    tries=$((tries + 1))
done
find "$cgroup" -depth -type d -exec rmdir {} +
