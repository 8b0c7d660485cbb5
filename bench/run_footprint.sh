#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole program's footprint on a virtual display (Xvfb with openbox and trayer), beside the
# toolkit's floor (a bare window with a tray icon, still and moved ten times a second) and two peers
# that show the PPP link's rate (conky and GKrellM): memory, CPU time, wake-ups, the X server's and
# the window manager's CPU time and the time from start to the window being mapped, for one run
# disconnected and one connected with traffic per program, each on an X server, in a network
# namespace and a fresh working directory (also its HOME) of its own. Connected means a PPP link (a
# tun device kept attached by ppp_link, which also makes about 10 KB/s each way through it) with a
# default route through it. Ours is also measured after its history window was opened and closed,
# and hidden by "Masquer", and a second build of it (another branch's, say) is measured beside it in
# the same run when given. The default 120 s per run lets the X server's clock ticks tell its CPU
# time apart from GKrellM's.
# Needs root. Usage: bench/run_footprint.sh [build directory] [seconds per run] [other build]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_lib.sh

build=$(build_directory "${1:-}" filocompte ppp_link bench_floor_window)
seconds=${2:-120}
program=$(realpath "$build/app/filocompte")
floor=$(realpath "$build/bench/bench_floor_window")
link=$(realpath "$build/bench/ppp_link")
other=${3:+$(realpath "$3/app/filocompte")}
hz=$(getconf CLK_TCK)

started=() # the processes of the current run, stopped in reverse order
namespaces=()
workdirs=()
table=$(mktemp) # one line of figures per run, read at the end
workdirs+=("$table")

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
    command -v perf >/dev/null || return 0
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
# The id of the first viewable window of exactly that title, and of that width unless it is "-";
# fails when there is none. The widget's splash has the widget's title, not its width.
viewable_window() {
    local id
    for id in $(DISPLAY=$display xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        if [ "$2" = - ] || xwininfo -display "$display" -id "$id" | grep -q "^ *Width: $2\$"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
unmapped() { xwininfo -display "$display" -id "$1" | grep -q 'Map State: IsUnMapped'; }
# Unmapped, or gone: the toolkit may destroy a closed window's X window.
not_viewable() { ! xwininfo -display "$display" -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# Chooses the Nth item of our strip's menu, opened by a right press on the tongue.
# Usage: choose_item WINDOW N
choose_item() {
    local left top
    read -r left top < <(xwininfo -display "$display" -id "$1" |
        awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
    # shellcheck disable=SC2046 # one Down per item
    DISPLAY=$display xdotool mousemove $((left + 45)) $((top + 60)) sleep 0.3 mousedown 3 \
        sleep 0.2 mouseup 3 sleep 0.5 key $(printf 'Down %.0s' $(seq "$2")) Return
}
# Hides our strip with "Masquer", its menu's ninth item.
masquer() {
    choose_item "$1" 9
    wait_for 5 unmapped "$1"
}
# Opens the history window, the menu's second item, and closes it as a user would (Alt+F4, which
# openbox turns into a close request); fails unless it came and went.
history_opened_and_closed() {
    local history
    choose_item "$1" 2
    wait_for 30 viewable_window "Historique des connexions" - || return 1
    history=$(viewable_window "Historique des connexions" -)
    DISPLAY=$display xdotool windowactivate --sync "$history" key alt+F4
    wait_for 5 not_viewable "$history"
}
# The libraries that only some features need, among those the process has mapped.
optional_libraries() {
    grep -oE 'lib(Qt6Charts|Qt6OpenGL|GL|OpenGL|Qt6Sql|qsqlite|sqlite3)[.a-zA-Z0-9]*\.so[.0-9]*$' \
        "/proc/$1/maps" | sort -u | paste -sd' '
}

# A session bus and a system bus of the run's own, as a desktop has: without them D-Bus clients
# start a bus of their own through the display, or report the missing socket. The system bus
# holds no NetworkManager, as on a desktop without it.
start_buses() {
    local bus
    for bus in session system; do
        dbus-daemon --session --nofork --address="unix:path=$work/$bus-bus" >/dev/null 2>&1 &
        started+=($!)
        wait_for 5 test -S "$work/$bus-bus"
    done
}

# Writes the files each program reads from its working directory.
prepare_filocompte() { printf '1\r\n' >"$work/jour_raz.txt"; }
prepare_floor() { :; }
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

# The CPU ticks of the program, the X server and the window manager, and the program's context
# switches, on one line.
counters() { echo "$(cpu_ticks "$1") $(cpu_ticks "$xvfb_pid") $(cpu_ticks "$wm_pid") $(switches "$1")"; }
# Figures per second over a window from two lines of counters: CPU s, wake-ups/s, X s, WM s.
over_window() {
    awk -v a="$1" -v b="$2" -v ms="$3" -v hz="$hz" 'BEGIN {
        split(a, p); split(b, q); s = ms / 1000
        printf "%.2f %.1f %.2f %.2f", (q[1] - p[1]) / hz, (q[4] - p[4]) / s, (q[2] - p[2]) / hz,
               (q[3] - p[3]) / hz }'
}

# Runs one program, disconnected or connected, on its own X server, in its own namespace and
# working directory, and prints one line of figures; adds a row to the table.
# Usage: run_program LABEL KIND STATE WINDOW-TITLE WINDOW-WIDTH COMMAND...
run_program() {
    local label=$1 kind=$2 state=$3 title=$4 width=$5 ns id pid start mapped t0 t1 c0 c1 bytes0 bytes1
    shift 5
    work=$(mktemp -d)
    workdirs+=("$work")
    ns=filocompte-fp-$$-$label-$state
    ip netns add "$ns"
    namespaces+=("$ns")
    ip -n "$ns" link set lo up
    if [ "$state" = connected ]; then
        start_ppp_link "$ns" "$link" traffic
        started+=("$link_pid")
        ip -n "$ns" route add default dev ppp0
    fi
    start_display
    start_buses
    "prepare_$kind"
    start=$(now_ns)
    # In its French locale: elsewhere our reset date may be written month first, and read back
    # day first it makes the monthly reminder a modal box at start.
    (cd "$work" && exec ip netns exec "$ns" env DISPLAY="$display" HOME="$work" LANG=fr_FR.UTF-8 \
        LC_ALL=fr_FR.UTF-8 DBUS_SESSION_BUS_ADDRESS="unix:path=$work/session-bus" \
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system-bus" "$@" >"$work/stdout" 2>"$work/stderr") &
    pid=$!
    started+=("$pid")
    if ! wait_for 30 viewable_window "$title" "$width"; then
        echo "$label $state: the window was not mapped within 30 s" >&2
        cat "$work/stderr" >&2
        return 1
    fi
    mapped=$(now_ns)
    id=$(viewable_window "$title" "$width")
    bytes0=$(link_bytes "$ns")
    t0=$(now_ns); c0=$(counters "$pid")
    sleep "$seconds"
    t1=$(now_ns); c1=$(counters "$pid")
    bytes1=$(link_bytes "$ns")
    local rss dirty rate=- ms=$(((t1 - t0) / 1000000)) shown hidden="- - - -" history="- -"
    rss=$(kb "/proc/$pid/smaps_rollup" Rss)
    dirty=$(kb "/proc/$pid/smaps_rollup" Private_Dirty)
    shown=$(over_window "$c0" "$c1" "$ms")
    if [ "$kind" = filocompte ]; then
        wakeup_sources "$pid" "$label $state"
        echo "$label $state: optional libraries mapped: $(optional_libraries "$pid")"
        if history_opened_and_closed "$id"; then
            sleep 5
            history="$(kb "/proc/$pid/smaps_rollup" Rss) $(kb "/proc/$pid/smaps_rollup" Private_Dirty)"
            echo "$label $state: after the history was opened and closed: $(optional_libraries "$pid")"
        else
            echo "$label $state: the history window did not open and close" >&2
        fi
        if masquer "$id"; then
            t0=$(now_ns); c0=$(counters "$pid")
            sleep "$seconds"
            t1=$(now_ns); c1=$(counters "$pid")
            hidden=$(over_window "$c0" "$c1" $(((t1 - t0) / 1000000)))
            wakeup_sources "$pid" "$label $state, hidden by Masquer"
        else
            echo "$label $state: Masquer did not hide the strip" >&2
        fi
    fi
    stop_pid "$pid"
    if [ "$bytes0" != "- -" ]; then
        read -r rx0 tx0 <<<"$bytes0"
        read -r rx1 tx1 <<<"$bytes1"
        rate="$(((rx1 - rx0) * 1000 / ms))/$(((tx1 - tx0) * 1000 / ms))"
    fi
    echo "$label $state $(((mapped - start) / 1000000)) $rss $dirty $shown $hidden $history $rate" |
        tee -a "$table"
    # Written by our program when it ends: the connection's seconds are recorded then.
    if [ -e "$work/decompte_internet.log" ]; then
        echo "    counter file: $(tr '\r\n' '  ' <"$work/decompte_internet.log")"
    fi
    end_run
}

# A file written and not yet on disk counts as dirty in smaps: a program just built would show its
# whole executable as private dirty memory.
sync
echo "${seconds} s per run, clock ticks $hz/s"
for state in disconnected connected; do
    run_program filocompte filocompte "$state" Filocompte 264 "$program"
    [ -z "$other" ] || run_program other filocompte "$state" Filocompte 264 "$other"
    run_program floor floor "$state" floor - "$floor"
    run_program floor-move floor "$state" floor - "$floor" --move
    run_program conky conky "$state" conky-ppp0 - conky -c conky.conf
    run_program gkrellm gkrellm "$state" gkrellm - gkrellm
done

# The table, then each program beside the floor (the bare window, or the moved one for our
# drifting strip) and GKrellM in the same state.
echo
awk -v seconds="$seconds" '
{ n[NR] = $1; st[NR] = $2; line[NR] = $0; key[$1, $2] = NR
  for (i = 3; i <= NF; i++) f[NR, i] = $i }
END {
    printf "%-12s %-12s %6s %8s %9s %6s %7s %6s %6s %6s %7s %6s %6s %8s %9s  %s\n", "program",
           "state", "map ms", "Rss KiB", "PrivDirty", "CPU s", "wake/s", "X s", "WM s", "hid s",
           "hid w/s", "hid X", "hid WM", "hist Rss", "histDirty", "PPP B/s in/out"
    for (r = 1; r <= NR; r++)
        printf "%-12s %-12s %6d %8d %9d %6.2f %7.1f %6.2f %6.2f %6s %7s %6s %6s %8s %9s  %s\n",
               n[r], st[r], f[r,3], f[r,4], f[r,5], f[r,6], f[r,7], f[r,8], f[r,9], f[r,10],
               f[r,11], f[r,12], f[r,13], f[r,14], f[r,15], f[r,16]
    printf "\nOver %d s per run. Differences and ratios to the floor (bare window + tray) and GKrellM;\n", seconds
    printf "hist: after the history window was opened and closed.\n"
    printf "%-12s %-12s %10s %12s %10s %12s %8s %8s %8s %10s\n", "program", "state", "Rss-floor",
           "Dirty-floor", "hist Rss", "hist Dirty", "CPU/gk", "X/gk", "WM/gk", "wake/floor"
    for (r = 1; r <= NR; r++) {
        fl = key["floor", st[r]]; gk = key["gkrellm", st[r]]
        printf "%-12s %-12s %6.1f MiB %8.1f MiB %10s %12s %8s %8s %8s %10s\n", n[r], st[r],
               (f[r,4] - f[fl,4]) / 1024, (f[r,5] - f[fl,5]) / 1024, beyond(f[r,14], f[fl,4]),
               beyond(f[r,15], f[fl,5]), ratio(f[r,6], f[gk,6]), ratio(f[r,8], f[gk,8]),
               ratio(f[r,9], f[gk,9]), ratio(f[r,7], f[fl,7])
    }
}
function ratio(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
function beyond(kib, floor) { return kib == "-" ? "-" : sprintf("%.1f MiB", (kib - floor) / 1024) }' "$table"
