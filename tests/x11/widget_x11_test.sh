#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a virtual X server under one window manager (fluxbox and icewm with their
# own tray, the others with trayer as the tray host, started after the program), driven with the
# pointer as a user would.
# Usage: widget_x11_test.sh PROGRAM OUTPUT_DIR WM [SCALE]: WM is openbox, fluxbox, icewm, xfwm4,
# mutter, kwin_x11 or marco (marco also needs mate-settings-daemon-common); SCALE (1 by default)
# is Qt's scale factor. Exit 77 when it cannot run here.
set -u

wm=$3
scale=${4:-1}
for tool in Xvfb xdotool xwininfo xprop xmessage import trayer setsid "$wm"; do
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

# px LOGICAL: the display's pixels for the program's.
px() {
    awk -v v="$1" -v s="$scale" 'BEGIN { r = v * s; printf "%d", r < 0 ? r - 0.5 : r + 0.5 }'
}

top_is() {
    position && [ "$top" -eq "$(px "$1")" ]
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

# The window under the pointer at screen point ($1, $2) is one of $frames: the widget's or its
# frame's, unless set otherwise.
window_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    local under
    under=$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')
    grep -qx "$under" <<<"$frames"
}

# The window ($window by default) and its ancestors below the root, one decimal id a line.
ancestors() {
    local id=$((${1:-$window}))
    while [ "$id" -ne 0 ] && [ "$id" -ne "$root" ]; do
        echo "$id"
        id=$(($(xwininfo -tree -id "$id" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')))
    done
}

# at X Y: the screen point at the program's window point (X, Y), in $at_x $at_y.
at() {
    position && at_x=$((left + $(px "$1"))) && at_y=$((top + $(px "$2")))
}

shaped_as_the_skin() {
    # The window is no bigger than the shape, whose extents are columns 12..264, rows 0..86.
    local extents
    extents="$(px 252)x$(px 86)+$(px 12)+0"
    xwininfo -shape -id "$window" | grep -q "Window shape extents: *$extents\$" || {
        xwininfo -shape -id "$window" | grep 'Window shape extents' >&2
        return 1
    }
    frames=$(ancestors)
    # Over the tongue it is the widget; beside it, inside the window but outside the shape, it is
    # whatever lies behind.
    at 45 60 && window_at "$at_x" "$at_y" && at 150 68 && ! window_at "$at_x" "$at_y"
}

# A dock above the other windows, on every workspace, in no taskbar or pager.
a_dock_everywhere() {
    local properties
    properties=$(xprop -id "$window" _NET_WM_WINDOW_TYPE _NET_WM_STATE _NET_WM_DESKTOP)
    if ! grep -q '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DOCK' <<<"$properties" ||
        ! grep -q '_NET_WM_DESKTOP(CARDINAL) = 4294967295' <<<"$properties" ||
        ! grep -q '_NET_WM_STATE_SKIP_TASKBAR.*_NET_WM_STATE_SKIP_PAGER\|SKIP_PAGER.*SKIP_TASKBAR' \
            <<<"$properties" || ! grep -q _NET_WM_STATE_ABOVE <<<"$properties"; then
        echo "$properties" >&2
        return 1
    fi
}

skips_taskbar() {
    xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR
}

# Drifting one pixel every 100 ms, give or take a late timer; with an argument, from the left
# $1 at time $2 (ns) to now.
drifts() {
    local before since
    if [ $# -eq 2 ]; then
        before=$1 since=$2
    else
        position || return 1
        before=$left since=$(date +%s%N)
        sleep 2
    fi
    position || return 1
    local moved=$((left - before)) ticks=$((($(date +%s%N) - since) / 100000000))
    echo "     drifted $moved in $ticks ticks" >&2
    [ "$moved" -ge "$(px $((ticks / 2)))" ] && [ "$moved" -le "$(px $((ticks + 1)))" ]
}

# The gauge, in the tab at the top right of the strip, shows its colours, dark or lime green.
gauge_painted() {
    at 180 5 || return 1
    local colour
    colour=$(import -window root -crop "1x1+$at_x+$at_y" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*#\([0-9A-F]\{6\}\).*/\1/p')
    echo "     gauge pixel #$colour" >&2
    [ "$colour" = 008000 ] || [ "$colour" = 00FF00 ]
}

normal_window_shown() {
    normal=$(xdotool search --onlyvisible --classname '^normal$' | head -1) && [ -n "$normal" ]
}

# A normal window over the strip's corner of the screen, clicked, leaves the strip above it.
above_a_clicked_window() {
    start xmessage -name normal -geometry "$(px 1000)x$(px 300)+0+0" "une fenetre ordinaire"
    eventually 10 normal_window_shown || return 1
    geometry "$normal" || return 1
    press 1 $((left + width - 20)) $((top + height - 20))
    at 45 60 && window_at "$at_x" "$at_y"
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
    local before=$left since=$SECONDS step grip=$((left + $(px 65)))
    # Bare skin beside the handle, on the tongue's first row: the screen's top line when hidden.
    xdotool mousemove $grip 0
    sleep 0.3
    xdotool mousedown 1
    for step in 1 2 3 4 5 6 7 8 9 10; do
        sleep 0.05
        xdotool mousemove $((grip + 10 * step)) 0
    done
    sleep 0.2
    xdotool mouseup 1
    # The window follows the pointer, plus the drift of 10 pixels a second.
    eventually 3 top_is -48 || return 1
    local moved=$((left - before)) drift
    drift=$(px $(((SECONDS - since + 2) * 10)))
    echo "     moved by $moved in about $((SECONDS - since)) s" >&2
    [ "$moved" -ge 95 ] && [ "$moved" -le $((105 + drift)) ]
}

# The widget is the window titled Filocompte as wide as the skin; the splash has that title too.
has_window() {
    local candidate
    for candidate in $(xdotool search --onlyvisible --pid "$pid" --name '^Filocompte$' 2>/dev/null); do
        if xwininfo -id "$candidate" 2>/dev/null | grep -q "^ *Width: $(px 264)\$"; then
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

# The window manager and, where it has none of its own, a tray host: trayer, started after the
# program so that the program starts without any.
start_window_manager() {
    case $wm in
    mutter) start mutter --x11 --replace ;;
    kwin_x11 | marco) start "$wm" --replace ;;
    *) start "$wm" ;;
    esac
    check "the window manager runs" eventually 20 has_window_manager
}

start_tray_host() {
    case $wm in
    fluxbox | icewm) ;;
    *)
        start trayer --edge bottom --align right --widthtype request --height "$(px 24)"
        check "the tray host runs" eventually 10 has_tray_host
        ;;
    esac
}

run_under() {
    local name=$wm
    [ "$scale" = 1 ] || name=$wm-scale$scale
    check_label="[$name] "
    local home=$work/$name
    log=$output/widget-$name.log
    : >"$log"
    mkdir -p "$home/run"
    printf '1\r\n' >"$home/run/jour_raz.txt"
    printf '%s\r\n0\r\n0\r\n' "$(date +%d/%m/%Y)" >"$home/run/decompte_internet.log"

    # The server writes its display number once it accepts connections. Without -noreset it
    # would reset, refusing connections meanwhile, whenever its last client (a probe) leaves.
    local displayfd=$home/display
    start Xvfb -displayfd 3 -screen 0 "$(px 1280)x$(px 800)x24" -nolisten tcp -noreset \
        3>"$displayfd"
    if ! eventually 10 test -s "$displayfd"; then
        echo "FAIL [$name] Xvfb did not start"
        failures=$((failures + 1))
        return
    fi
    export DISPLAY=:$(head -1 "$displayfd")
    export HOME=$home XDG_CONFIG_HOME=$home/.config
    root=$(($(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')))

    start_window_manager
    # Without a session bus the tray icon is the X11 embedded one that the tray hosts take.
    start env -C "$home/run" -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb LANG=fr_FR.UTF-8 \
        QT_SCALE_FACTOR="$scale" ASAN_OPTIONS=detect_leaks=0 "$program"
    pid=${started[-1]}
    if ! eventually 20 has_window; then
        echo "FAIL [$name] no window titled Filocompte"
        failures=$((failures + 1))
        stop_all
        return
    fi
    local shown=$SECONDS

    check "hidden at top -48" eventually 5 top_holds -48
    check "a dock above the others, on every workspace" a_dock_everywhere
    check "shaped as the skin" shaped_as_the_skin
    check "drifting" drifts
    start_tray_host
    check "tray icon docked" eventually 10 tray_icon_docked
    check "above a normal window clicked" above_a_clicked_window
    sleep $((shown + 10 > SECONDS ? shown + 10 - SECONDS : 0))
    check "still hidden at -48 after 10 s" top_holds -48

    at 45 60 && press 1 "$at_x" "$at_y"
    check "a left click on the tongue reveals the strip" eventually 3 top_holds 48
    check "the gauge painted" gauge_painted
    import -window root "$output/widget-$name-revealed.png" 2>/dev/null
    at 100 10 && xdotool mousemove "$at_x" "$at_y"
    check "the pointer over the bare skin hides it" eventually 3 top_holds -48

    check "a drag on the bare skin moves it by the drag" drag_moves_window

    at 45 60 && press 3 "$at_x" "$at_y"
    check "a right click on the tongue opens the menu" eventually 3 menu_open
    import -window root "$output/widget-$name-menu.png" 2>/dev/null
    xdotool key Escape
    check "Escape closes the menu" eventually 3 menu_closed

    # Mapped anew, the window lost its state: the taskbar entry that the left click brings back
    # is there until the next animation tick.
    local hidden_left hidden_since
    position && hidden_left=$left && hidden_since=$(date +%s%N)
    at 45 60 && press 3 "$at_x" "$at_y"
    eventually 3 menu_open && xdotool key Down Down Down Down Down Down Down Down Down Return
    check "Masquer hides it" eventually 3 map_state_is IsUnMapped
    sleep 2
    click_tray_icon
    check "a left click on the tray icon shows it again" eventually 3 map_state_is IsViewable
    check "where its drift would have taken it" drifts "$hidden_left" "$hidden_since"
    check "and it is soon a dock everywhere again" eventually 3 a_dock_everywhere
    check "still hidden after all" top_is -48
    check "the program still runs" eval '! ended "$pid"'
    import -window root "$output/widget-$name-final.png" 2>/dev/null

    box_above_help_window
    stop_all
}

# The program's box: a dialog titled Filocompte.
has_box() {
    local candidate
    for candidate in $(xdotool search --onlyvisible --pid "$pid" --name '^Filocompte$' 2>/dev/null); do
        if xprop -id "$candidate" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG; then
            box=$candidate
            return 0
        fi
    done
    return 1
}

help_title='"Je vous dois des ex-complications"'

help_shown() {
    local candidate
    for candidate in $(xdotool search --onlyvisible --pid "$pid" --name 'Je vous' 2>/dev/null); do
        xprop -id "$candidate" WM_NAME | grep -qF "$help_title" && return 0
    done
    return 1
}

# Window managers keep a transient window above the one it is for.
transient_for_help() {
    local owner
    owner=$(xprop -id "$box" WM_TRANSIENT_FOR | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p')
    [ -n "$owner" ] && xprop -id "$owner" WM_NAME | grep -qF "$help_title"
}

# The box is what lies under the pointer at its centre, and it has the focus; checked until the
# splash has closed and the help window has faded in.
box_on_top() {
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do
        geometry "$box" && frames=$(ancestors "$box") &&
            window_at $((left + width / 2)) $((top + height / 2)) &&
            [ "$(xdotool getactivewindow 2>/dev/null)" = "$box" ] || return 1
        sleep 0.5
    done
}

# Started again with a reset-day file that cannot serve, the program sets it aside in a box and
# shows the help window: the box stays above the help window, the strip and the splash.
box_above_help_window() {
    kill -TERM "$pid"
    eventually 5 ended "$pid"
    local run=$home/unreadable-day box=""
    mkdir -p "$run"
    printf '<b>x</b>\r\n' >"$run/jour_raz.txt"
    start env -C "$run" -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb LANG=fr_FR.UTF-8 \
        QT_SCALE_FACTOR="$scale" ASAN_OPTIONS=detect_leaks=0 "$program"
    pid=${started[-1]}
    check "a reset-day file that cannot serve: a box and the help window" \
        eventually 20 eval 'has_box && help_shown && has_window'
    check "the box is transient for the help window" eventually 3 transient_for_help
    check "the box above the program's windows, with the focus" box_on_top
    import -window root "$output/widget-$name-box.png" 2>/dev/null
}

mkdir -p "$output"
run_under
echo "screenshots and logs: $output/widget-*"
[ "$failures" -eq 0 ]
