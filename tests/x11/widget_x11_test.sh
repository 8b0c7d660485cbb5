#!/usr/bin/env bash
# The real program on a virtual X server, under each window manager (fluxbox with its own tray,
# openbox with trayer as the tray host), driven with the pointer as a user would.
# Usage: widget_x11_test.sh PROGRAM OUTPUT_DIR. Exit 77 when it cannot run here.
set -u

for tool in Xvfb xdotool xwininfo xprop import fluxbox openbox trayer setsid; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    echo "skipped: the fr_FR.UTF-8 locale is missing (scripts/setup.sh makes it)"
    exit 77
fi

program=$(realpath "$1")
output=$2
work=$(mktemp -d)
# shellcheck source=../support/desktop_session.sh
source "$(dirname "$0")/../support/desktop_session.sh"
cleanup() {
    stop_all
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The widget's absolute left and top, in $left and $top.
position() {
    geometry "$window"
}

top_is() {
    position && [ "$top" -eq "$1" ]
}

# The top stays at $1 over a second: nothing (a window manager's placement) pulls it back.
top_holds() {
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do
        top_is "$1" || return 1
        sleep 0.1
    done
}

press() {
    xdotool mousemove "$2" "$3"
    # A press too soon after the move is lost under some window managers.
    sleep 0.3
    xdotool mousedown "$1"
    sleep 0.2
    xdotool mouseup "$1"
}

# The window under the pointer at screen point ($1, $2) is the widget's or its frame's.
window_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    local under
    under=$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')
    grep -qx "$under" <<<"$frames"
}

# The widget's window and its ancestors below the root, one decimal id a line.
ancestors() {
    local id=$((window))
    while [ "$id" -ne 0 ] && [ "$id" -ne "$root" ]; do
        echo "$id"
        id=$(($(xwininfo -tree -id "$id" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')))
    done
}

shaped_as_the_skin() {
    # The bounding region's extents relative to the window: columns 12..264, rows 0..86.
    xwininfo -shape -id "$window" | grep -q 'Window shape extents: *252x86+12+0$' || {
        xwininfo -shape -id "$window" | grep 'Window shape extents' >&2
        return 1
    }
    frames=$(ancestors)
    position || return 1
    # Over the tongue it is the widget; beside it and below it, inside the window's rectangle
    # but outside the shape, it is whatever lies behind.
    window_at $((left + 45)) $((top + 60)) &&
        ! window_at $((left + 150)) $((top + 68)) &&
        ! window_at $((left + 300)) $((top + 400))
}

skips_taskbar() {
    xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR
}

# The tray icon: a window of the program that the tray host reparented (not the root's child)
# and that the window manager does not manage (no WM_STATE, which the widget's frame has).
tray_icon() {
    local icon
    for icon in $(windows_where 'Override Redirect State: yes'); do
        xwininfo -tree -id "$icon" | grep -q 'Parent window id: .*(the root window)' && continue
        xprop -id "$icon" WM_STATE | grep -q 'not found' && echo "$icon" && return 0
    done
    return 1
}

tray_icon_docked() {
    tray_icon >/dev/null
}

click_tray_icon() {
    local icon
    icon=$(tray_icon) && geometry "$icon" && press 1 $((left + width / 2)) $((top + height / 2))
}

map_state_is() {
    xwininfo -id "$window" | grep -q "Map State: $1\$"
}

# Prints the pop-up menus shown: Qt's are override-redirect windows, children of the root.
menus() {
    local candidate
    for candidate in $(windows_where 'Override Redirect State: yes'); do
        xwininfo -tree -id "$candidate" | grep -q 'Parent window id: .*(the root window)' &&
            echo "$candidate"
    done
}

menu_open() {
    [ -n "$(menus)" ]
}

menu_closed() {
    [ -z "$(menus)" ]
}

drag_moves_window() {
    position || return 1
    local before=$left since=$SECONDS step
    # Bare skin beside the handle, on the tongue's first row: the screen's top line when hidden.
    xdotool mousemove $((left + 65)) 0
    sleep 0.3
    xdotool mousedown 1
    for step in 1 2 3 4 5 6 7 8 9 10; do
        sleep 0.05
        xdotool mousemove $((left + 65 + 10 * step)) 0
    done
    sleep 0.2
    xdotool mouseup 1
    # The window follows the pointer, plus the drift of 10 pixels a second.
    eventually 3 top_is -48 || return 1
    local moved=$((left - before)) drift=$(((SECONDS - since + 2) * 10))
    echo "     moved by $moved in about $((SECONDS - since)) s" >&2
    [ "$moved" -ge 95 ] && [ "$moved" -le $((105 + drift)) ]
}

# The widget is the window titled Filocompte as wide as the screen; the splash has that title too.
has_window() {
    local candidate
    for candidate in $(xdotool search --onlyvisible --pid "$pid" --name '^Filocompte$' 2>/dev/null); do
        if xwininfo -id "$candidate" 2>/dev/null | grep -q '^ *Width: 1280$'; then
            window=$candidate
            return 0
        fi
    done
    return 1
}

has_window_manager() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

has_tray_host() {
    [ -n "$(xdotool search --class trayer 2>/dev/null)" ]
}

run_under() {
    wm=$1
    check_label="[$wm] "
    local home=$work/$wm
    log=$output/widget-$wm.log
    : >"$log"
    mkdir -p "$home/run"
    printf '1\r\n' >"$home/run/jour_raz.txt"
    printf '%s\r\n0\r\n0\r\n' "$(date +%d/%m/%Y)" >"$home/run/decompte_internet.log"

    # The server writes its display number once it accepts connections. Without -noreset it
    # would reset, refusing connections meanwhile, whenever its last client (a probe) leaves.
    local displayfd=$home/display
    start Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$displayfd"
    if ! eventually 10 test -s "$displayfd"; then
        echo "FAIL [$wm] Xvfb did not start"
        failures=$((failures + 1))
        return
    fi
    export DISPLAY=:$(head -1 "$displayfd")
    export HOME=$home XDG_CONFIG_HOME=$home/.config
    root=$(($(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')))

    start "$wm"
    check "the window manager runs" eventually 10 has_window_manager
    if [ "$wm" = openbox ]; then
        start trayer --edge bottom --align right --widthtype request --height 24
        check "the tray host runs" eventually 10 has_tray_host
    fi

    # Without a session bus the tray icon is the X11 embedded one that the tray hosts take.
    start env -C "$home/run" -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb LANG=fr_FR.UTF-8 \
        ASAN_OPTIONS=detect_leaks=0 "$program"
    pid=${started[-1]}
    if ! eventually 20 has_window; then
        echo "FAIL [$wm] no window titled Filocompte"
        failures=$((failures + 1))
        stop_all
        return
    fi

    check "hidden at top -48, and it holds" eventually 5 top_holds -48
    check "shaped as the skin" shaped_as_the_skin
    check "left out of the taskbar" skips_taskbar
    check "tray icon docked" eventually 10 tray_icon_docked

    position
    press 1 $((left + 45)) 12
    check "a left click on the tongue reveals the strip" eventually 3 top_holds 48
    position
    import -window root "$output/widget-$wm-revealed.png" 2>/dev/null
    xdotool mousemove $((left + 100)) 58
    check "the pointer over the bare skin hides it" eventually 3 top_holds -48

    check "a drag on the bare skin moves it by the drag" drag_moves_window

    position
    press 3 $((left + 45)) 12
    check "a right click on the tongue opens the menu" eventually 3 menu_open
    import -window root "$output/widget-$wm-menu.png" 2>/dev/null
    xdotool key Escape
    check "Escape closes the menu" eventually 3 menu_closed

    # Mapped anew, the window lost its state: the taskbar entry that the left click brings back
    # is there until the next animation tick.
    position
    press 3 $((left + 45)) 12
    eventually 3 menu_open && xdotool key Down Down Down Down Down Return
    check "Masquer hides it" eventually 3 map_state_is IsUnMapped
    click_tray_icon
    check "a left click on the tray icon shows it again" eventually 3 map_state_is IsViewable
    check "and it is soon left out of the taskbar again" eventually 3 skips_taskbar
    check "still hidden after all" top_is -48
    check "the program still runs" eval '! ended "$pid"'
    import -window root "$output/widget-$wm-final.png" 2>/dev/null

    stop_all
}

mkdir -p "$output"
run_under fluxbox
run_under openbox
echo "screenshots and logs: $output/widget-*"
[ "$failures" -eq 0 ]
