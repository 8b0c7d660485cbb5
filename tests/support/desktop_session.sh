# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests that run the real program on a virtual X server: starting and stopping
# the processes they need, bounded waits, checks that count failures, and what X tells of the
# program's windows. The caller sets $log (where started processes write) and $pid (the program).
# shellcheck shell=bash

started=()
failures=0

# Each process leads its own group, so that what it spawned goes with it.
start() {
    setsid "$@" >>"$log" 2>&1 &
    started+=($!)
}

# Ended, or a zombie waiting for its parent to collect it.
ended() {
    ! ps -o stat= -p "$1" | grep -q '^[^Z]'
}

# The last started first; killed outright when it does not end within 3 seconds.
stop_all() {
    local i pid
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        pid=${started[i]}
        kill -TERM -- "-$pid" 2>/dev/null
        eventually 3 ended "$pid" || kill -KILL -- "-$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    started=()
}

# eventually SECONDS COMMAND...: polls the command until it succeeds or the time is up.
eventually() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# check WHAT COMMAND...: says ok or FAIL (after $check_label, if set) and counts the failures.
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok   ${check_label:-}$what"
    else
        echo "FAIL ${check_label:-}$what"
        failures=$((failures + 1))
    fi
}

# geometry WINDOW: its absolute left, top, width and height in $left $top $width $height.
geometry() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    left=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
    top=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
    width=$(sed -n 's/^ *Width: *//p' <<<"$info")
    height=$(sed -n 's/^ *Height: *//p' <<<"$info")
}

# The program's viewable windows whose xwininfo (with -tree) matches the pattern.
windows_where() {
    local candidate
    for candidate in $(xdotool search --pid "$pid" 2>/dev/null); do
        { xwininfo -tree -id "$candidate" && xwininfo -id "$candidate"; } 2>/dev/null |
            tr '\n' ' ' | grep -q "Map State: IsViewable.*$1\|$1.*Map State: IsViewable" &&
            echo "$candidate"
    done
}
