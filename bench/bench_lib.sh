# SPDX-License-Identifier: GPL-3.0-or-later
# Shell helpers of the benchmark scripts, sourced by them from the repository's root.

# Builds the given targets in build-bench/ (Release).
build_targets() {
    cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build-bench -j2 --target "$@" >/dev/null
}

# Prints the build directory to use: the one given, or build-bench/ once the targets are built
# there. Usage: build=$(build_directory "${1:-}" TARGET...)
build_directory() {
    if [ -n "$1" ]; then
        echo "$1"
    else
        shift
        build_targets "$@"
        echo build-bench
    fi
}

# Adds tun devices fcb<from> to fcb<to - 1> to namespace ns, up, each with an address of its own
# /24. Usage: add_interfaces NS FROM TO
add_interfaces() {
    for ((i = $2; i < $3; i++)); do
        echo "tuntap add dev fcb$i mode tun"
        echo "address add 10.$((i / 256)).$((i % 256)).1/24 dev fcb$i"
        echo "link set fcb$i up"
    done | ip -n "$1" -batch -
}

# Polls a command every 10 ms until it succeeds, for at most the given seconds.
# Usage: wait_for SECONDS COMMAND...
wait_for() {
    local limit=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -lt "$limit" ] || return 1
        sleep 0.01
    done
}

# Stops a process by its pid: SIGTERM, then SIGKILL after 5 s.
stop_pid() {
    kill "$1" 2>/dev/null || return 0
    for ((i = 0; i < 50; i++)); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# Makes the PPP link ppp0 in namespace ns with ppp_link, up, 10.255.0.1 with peer 10.255.0.2;
# with "traffic", ppp_link also makes traffic through it. Sets link_pid.
# Usage: start_ppp_link NS PATH/TO/ppp_link [traffic]
start_ppp_link() {
    if [ "${3:-}" = traffic ]; then
        ip netns exec "$1" "$2" ppp0 10.255.0.1 10.255.0.2 &
    else
        ip netns exec "$1" "$2" ppp0 &
    fi
    link_pid=$!
    wait_for 5 sh -c "ip -n $1 link show ppp0 | grep -q link/ppp"
    ip -n "$1" address add 10.255.0.1 peer 10.255.0.2 dev ppp0
    ip -n "$1" link set ppp0 up
}

# Starts an X server of its own, on the display it picks itself, openbox and a tray host (trayer)
# on it, adding them to the array started; needs work, a directory. Sets display, xvfb_pid and
# wm_pid.
start_display() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/displayfd" >/dev/null 2>&1 &
    xvfb_pid=$!
    started+=("$xvfb_pid")
    wait_for 10 test -s "$work/displayfd"
    display=:$(head -n 1 "$work/displayfd")
    # Each poll bounded: a client of a display that went away (another X server of that number in
    # another namespace, say) may wait for ever.
    wait_for 10 timeout 2 xdpyinfo -display "$display"
    DISPLAY=$display openbox >/dev/null 2>&1 &
    wm_pid=$!
    started+=("$wm_pid")
    wait_for 10 sh -c "timeout 2 xprop -display $display -root _NET_SUPPORTING_WM_CHECK |
                       grep -q 'window id'"
    DISPLAY=$display trayer --edge bottom --align right --widthtype request --height 24 \
        >/dev/null 2>&1 &
    started+=($!)
    wait_for 10 sh -c "DISPLAY=$display timeout 2 xdotool search --class trayer | grep -q ."
}

cpu_ticks() { # utime + stime of the whole process
    local stat
    stat=$(cat "/proc/$1/stat")
    stat=${stat##*) }
    read -r -a f <<<"$stat"
    echo $((f[11] + f[12]))
}
thread_switches() { # "tid name switches" per thread, by tid
    local task
    for task in /proc/"$1"/task/*; do
        awk -v tid="${task##*/}" -v name="$(tr ' ' _ <"$task/comm" 2>/dev/null)" \
            '/^(non)?voluntary_ctxt_switches:/ { s += $2 } END { print tid, name, s + 0 }' \
            "$task/status" 2>/dev/null || true
    done | sort
}
switches() { # voluntary + nonvoluntary context switches of all its threads
    thread_switches "$1" | awk '{ s += $3 } END { print s + 0 }'
}
