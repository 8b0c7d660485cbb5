#!/usr/bin/env bash
# The whole program's footprint on a virtual display (Xvfb with openbox): memory, CPU time,
# wake-ups and the time from start to its strip's window being mapped, for one run disconnected
# and one connected with traffic, each in a network namespace of its own and a fresh working
# directory. Connected means a PPP link (a tun device kept attached by ppp_link, which also makes
# about 10 KB/s each way through it) with a default route through it.
# Needs root. Usage: bench/run_footprint.sh [build directory] [seconds per run]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_lib.sh

build=${1:-}
seconds=${2:-60}
if [ -z "$build" ]; then
    build_targets filocompte ppp_link
    build=build-bench
fi
program=$(realpath "$build/app/filocompte")
link=$(realpath "$build/bench/ppp_link")
hz=$(getconf CLK_TCK)

started=() # every process started here, stopped in reverse order
namespaces=()
workdirs=()

cleanup() {
    for ((k = ${#started[@]} - 1; k >= 0; k--)); do stop_pid "${started[k]}"; done
    for n in "${namespaces[@]}"; do ip netns del "$n" 2>/dev/null || true; done
    for w in "${workdirs[@]}"; do rm -rf "$w"; done
}
trap cleanup EXIT INT TERM

# A free display.
display=
for ((d = 90; d < 190; d++)); do
    if [ ! -e "/tmp/.X11-unix/X$d" ] && [ ! -e "/tmp/.X$d-lock" ]; then display=:$d; break; fi
done
[ -n "$display" ]
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
started+=($!)
wait_for 10 xdpyinfo -display "$display"
DISPLAY=$display openbox >/dev/null 2>&1 &
started+=($!)
wait_for 10 sh -c "xprop -display $display -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"

cpu_ticks() { # utime + stime of the whole process
    local stat
    stat=$(cat "/proc/$1/stat")
    stat=${stat##*) }
    read -r -a f <<<"$stat"
    echo $((f[11] + f[12]))
}
switches() { # voluntary + nonvoluntary context switches of all its threads
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches:/ { s += $2 } END { print s + 0 }'
}
kb() { awk -v k="$2:" '$1 == k { print $2 }' "$1"; }
now_ns() { date +%s%N; }
link_bytes() { # rx and tx octets of the PPP link, on one line; "- -" without one
    ip -n "$1" link show fcppp >/dev/null 2>&1 || { echo "- -"; return; }
    ip netns exec "$1" cat /sys/class/net/fcppp/statistics/{rx,tx}_bytes | paste -sd' '
}

# Runs the program in namespace $2 for the given seconds and prints one line of figures.
run_program() {
    local label=$1 ns=$2 width work pid start mapped t0 t1 cpu0 cpu1 sw0 sw1 bytes0 bytes1
    work=$(mktemp -d)
    workdirs+=("$work")
    printf '1\r\n' >"$work/jour_raz.txt"
    start=$(now_ns)
    # In its French locale: elsewhere the reset date may be written month first, and read back
    # day first it makes the monthly reminder a modal box at start.
    (cd "$work" && exec ip netns exec "$ns" env DISPLAY="$display" LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 \
        "$program" 2>"$work/stderr") &
    pid=$!
    started+=("$pid")
    if ! wait_for 30 sh -c "xwininfo -display $display -name Filocompte | grep -q IsViewable"; then
        echo "$label: the window was not mapped within 30 s" >&2
        cat "$work/stderr" >&2
        return 1
    fi
    mapped=$(now_ns)
    # The strip spans the screen; a dialog of the same title would not.
    width=$(xwininfo -display "$display" -name Filocompte | awk '/Width:/ { print $2 }')
    bytes0=$(link_bytes "$ns")
    t0=$(now_ns); cpu0=$(cpu_ticks "$pid"); sw0=$(switches "$pid")
    sleep "$seconds"
    t1=$(now_ns); cpu1=$(cpu_ticks "$pid"); sw1=$(switches "$pid")
    bytes1=$(link_bytes "$ns")
    local rss pss hwm threads
    rss=$(kb "/proc/$pid/smaps_rollup" Rss)
    pss=$(kb "/proc/$pid/smaps_rollup" Pss)
    hwm=$(kb "/proc/$pid/status" VmHWM)
    threads=$(ls "/proc/$pid/task" | wc -l)
    stop_pid "$pid"
    awk -v label="$label" -v width="$width" -v map="$(((mapped - start) / 1000000))" -v rss="$rss" -v pss="$pss" \
        -v hwm="$hwm" -v threads="$threads" -v cpu0="$cpu0" -v cpu1="$cpu1" -v hz="$hz" \
        -v sw="$((sw1 - sw0))" -v dt="$(((t1 - t0) / 1000000))" 'BEGIN {
        s = dt / 1000
        printf "%-13s map %5d ms (width %d)  Rss %6d KiB  Pss %6d KiB  VmHWM %6d KiB  threads %2d  " \
               "CPU before map %5.2f s  CPU %5.2f s over %.1f s (%5.2f%%)  wake-ups %6.1f/s\n",
               label, map, width, rss, pss, hwm, threads, cpu0 / hz, (cpu1 - cpu0) / hz, s,
               100 * (cpu1 - cpu0) / hz / s, sw / s
    }'
    # Written by the program when it ends: the connection's seconds are recorded then.
    printf '              counter file: %s' "$(tr '\r\n' '  ' <"$work/decompte_internet.log")"
    if [ "$bytes0" != "- -" ]; then
        read -r rx0 tx0 <<<"$bytes0"
        read -r rx1 tx1 <<<"$bytes1"
        printf '  PPP link over the window: %d B/s in, %d B/s out' \
            "$(((rx1 - rx0) * 1000 / ((t1 - t0) / 1000000)))" \
            "$(((tx1 - tx0) * 1000 / ((t1 - t0) / 1000000)))"
    fi
    echo
}

new_namespace() { # sets ns
    ns=filocompte-fp-$$-$1
    ip netns add "$ns"
    namespaces+=("$ns")
    ip -n "$ns" link set lo up
}

echo "display $display, ${seconds} s per run, clock ticks $hz/s"
new_namespace off
run_program disconnected "$ns"

new_namespace on
start_ppp_link "$ns" "$link" traffic
started+=("$link_pid")
ip -n "$ns" route add default dev fcppp
run_program connected "$ns"
