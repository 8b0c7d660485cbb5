#!/usr/bin/env bash
# The whole program's footprint on a virtual display (Xvfb with openbox), beside two peers that show
# the PPP link's rate (conky and GKrellM): memory, CPU time, wake-ups, the X server's CPU time and
# the time from start to the window being mapped, for one run disconnected and one connected with
# traffic per program, each on an X server, in a network namespace and a fresh working directory
# (also its HOME) of its own. Connected means a PPP link (a tun device kept attached by ppp_link,
# which also makes about 10 KB/s each way through it) with a default route through it.
# Needs root. Usage: bench/run_footprint.sh [build directory] [seconds per run]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_lib.sh

build=$(build_directory "${1:-}" filocompte ppp_link)
seconds=${2:-60}
program=$(realpath "$build/app/filocompte")
link=$(realpath "$build/bench/ppp_link")
hz=$(getconf CLK_TCK)

started=() # the processes of the current run, stopped in reverse order
namespaces=()
workdirs=()
rows=() # one line of the final table per run

end_run() { # stops the run's processes and removes its namespace
    for ((k = ${#started[@]} - 1; k >= 0; k--)); do stop_pid "${started[k]}"; done
    started=()
    for n in "${namespaces[@]}"; do ip netns del "$n" 2>/dev/null || true; done
    namespaces=()
}
cleanup() {
    end_run
    for w in "${workdirs[@]}"; do rm -rf "$w"; done
}
trap cleanup EXIT INT TERM

# Where our program's wake-ups go, over a further window after the measured one: each thread's
# context switches per second, then the system calls of each thread as perf trace counts them.
wakeup_sources() {
    local before after
    echo "$2: where the wake-ups go, over 10 s more"
    before=$(thread_switches "$1")
    sleep 10
    after=$(thread_switches "$1")
    join <(echo "$before") <(echo "$after") |
        awk '{ printf "    thread %-16s %6.1f wake-ups/s\n", $2, ($5 - $3) / 10 }'
    perf trace -s -p "$1" -- sleep 10 2>&1 >/dev/null | awk '
        /\([0-9]+\), [0-9]+ events/ { print "    perf trace, 10 s more:" $0 }
        $2 ~ /^[0-9]+$/ && $2 >= 10 { print "      " $1, $2 " calls" }'
}
kb() { awk -v k="$2:" '$1 == k { print $2 }' "$1"; }
now_ns() { date +%s%N; }
link_bytes() { # rx and tx octets of the PPP link, on one line; "- -" without one
    ip -n "$1" link show ppp0 >/dev/null 2>&1 || { echo "- -"; return; }
    ip netns exec "$1" cat /sys/class/net/ppp0/statistics/{rx,tx}_bytes | paste -sd' '
}
# The id of the first viewable window of exactly that title; fails when there is none.
viewable_window() {
    DISPLAY=$display xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .
}

# Writes the files each program reads from its working directory.
prepare_filocompte() { printf '1\r\n' >"$work/jour_raz.txt"; }
prepare_conky() {
    cat >"$work/conky.conf" <<'CONF'
conky.config = {
    out_to_x = true, out_to_console = false, background = false,
    own_window = true, own_window_type = 'normal', own_window_title = 'conky-ppp0',
    update_interval = 1,
}
conky.text = [[PPP ${downspeed ppp0} / ${upspeed ppp0}]]
CONF
}
# An empty configuration keeps GKrellM's defaults (all interfaces' charts) without its first-run
# introduction window.
prepare_gkrellm() { mkdir -p "$work/.gkrellm2" && : >"$work/.gkrellm2/user-config"; }

# Runs one program, disconnected or connected, on its own X server, in its own namespace and
# working directory, and prints one line of figures; adds a row to the table.
# Usage: run_program NAME STATE WINDOW-TITLE COMMAND...
run_program() {
    local name=$1 state=$2 window=$3 ns width id pid start mapped t0 t1 cpu0 cpu1 sw0 sw1 x0 x1 bytes0 bytes1
    shift 3
    work=$(mktemp -d)
    workdirs+=("$work")
    ns=filocompte-fp-$$-$name-$state
    ip netns add "$ns"
    namespaces+=("$ns")
    ip -n "$ns" link set lo up
    if [ "$state" = connected ]; then
        start_ppp_link "$ns" "$link" traffic
        started+=("$link_pid")
        ip -n "$ns" route add default dev ppp0
    fi
    start_display
    "prepare_$name"
    start=$(now_ns)
    # In its French locale: elsewhere our reset date may be written month first, and read back
    # day first it makes the monthly reminder a modal box at start.
    (cd "$work" && exec ip netns exec "$ns" env DISPLAY="$display" HOME="$work" LANG=fr_FR.UTF-8 \
        LC_ALL=fr_FR.UTF-8 "$@" >"$work/stdout" 2>"$work/stderr") &
    pid=$!
    started+=("$pid")
    if ! wait_for 30 viewable_window "$window"; then
        echo "$name $state: the window was not mapped within 30 s" >&2
        cat "$work/stderr" >&2
        return 1
    fi
    mapped=$(now_ns)
    # Our strip spans the screen; a dialog of the same title would not.
    id=$(viewable_window "$window")
    width=$(xwininfo -display "$display" -id "$id" | awk '/Width:/ { print $2 }')
    bytes0=$(link_bytes "$ns")
    t0=$(now_ns); cpu0=$(cpu_ticks "$pid"); sw0=$(switches "$pid"); x0=$(cpu_ticks "$xvfb_pid")
    sleep "$seconds"
    t1=$(now_ns); cpu1=$(cpu_ticks "$pid"); sw1=$(switches "$pid"); x1=$(cpu_ticks "$xvfb_pid")
    bytes1=$(link_bytes "$ns")
    local rss pss hwm threads rate=- ms=$(((t1 - t0) / 1000000))
    rss=$(kb "/proc/$pid/smaps_rollup" Rss)
    pss=$(kb "/proc/$pid/smaps_rollup" Pss)
    hwm=$(kb "/proc/$pid/status" VmHWM)
    threads=$(ls "/proc/$pid/task" | wc -l)
    [ "$name" != filocompte ] || ! command -v perf >/dev/null || wakeup_sources "$pid" "$name $state"
    stop_pid "$pid"
    if [ "$bytes0" != "- -" ]; then
        read -r rx0 tx0 <<<"$bytes0"
        read -r rx1 tx1 <<<"$bytes1"
        rate="$(((rx1 - rx0) * 1000 / ms))/$(((tx1 - tx0) * 1000 / ms))"
    fi
    local figures=(-v label="$name $state" -v width="$width" -v map="$(((mapped - start) / 1000000))"
        -v rss="$rss" -v pss="$pss" -v hwm="$hwm" -v threads="$threads" -v cpu0="$cpu0" -v cpu1="$cpu1"
        -v x="$((x1 - x0))" -v hz="$hz" -v sw="$((sw1 - sw0))" -v s="$ms" -v rate="$rate")
    awk "${figures[@]}" 'BEGIN {
        s /= 1000
        printf "%-22s map %5d ms (width %4d)  Rss %6d KiB  Pss %6d KiB  VmHWM %6d KiB  threads %2d  " \
               "CPU before map %5.2f s  CPU %5.2f s over %.1f s  wake-ups %6.1f/s  Xvfb CPU %5.2f s\n",
               label, map, width, rss, pss, hwm, threads, cpu0 / hz, (cpu1 - cpu0) / hz, s, sw / s, x / hz
    }'
    rows+=("$(awk "${figures[@]}" 'BEGIN {
        s /= 1000
        printf "%-22s %7d %8d %8d %7.2f %6.2f %9.1f %7.2f %6.2f  %s", label, map, rss, pss,
               (cpu1 - cpu0) / hz, 100 * (cpu1 - cpu0) / hz / s, sw / s, x / hz, 100 * x / hz / s, rate
    }')")
    # Written by our program when it ends: the connection's seconds are recorded then.
    if [ -e "$work/decompte_internet.log" ]; then
        echo "    counter file: $(tr '\r\n' '  ' <"$work/decompte_internet.log")"
    fi
    [ "$rate" = - ] || echo "    PPP link over the window: $rate B/s in/out"
    end_run
}

echo "${seconds} s per run, clock ticks $hz/s"
for state in disconnected connected; do
    run_program filocompte "$state" Filocompte "$program"
    run_program conky "$state" conky-ppp0 conky -c conky.conf
    run_program gkrellm "$state" gkrellm gkrellm
done

echo
printf '%-22s %7s %8s %8s %7s %6s %9s %7s %6s  %s\n' program/state "map ms" "Rss KiB" "Pss KiB" \
    "CPU s" "CPU %" wake-ups/s "X CPU s" "X %" "PPP B/s in/out"
printf '%s\n' "${rows[@]}"
