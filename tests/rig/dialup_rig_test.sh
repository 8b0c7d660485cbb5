#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a virtual X server under fluxbox, dialling a PPP line to a provider in
# another network namespace through Debian's pon and poff, driven from its tray icon and menus;
# losing its display during a connection; then counting a phone tethered over USB that
# NetworkManager's stand-in reports metered, and a dialled line beneath a VPN.
# Usage: dialup_rig_test.sh PROGRAM PPPD_STAND_IN OUTPUT_DIR. Exit 77 when not root.
#
# It runs itself again inside mount, network and pid namespaces of its own: there the stand-in is
# /usr/sbin/pppd and the test's peer file is /etc/ppp/peers/provider, /sys is private, and
# whatever is left running ends with the namespace. /tmp stays shared: the build, and so the
# program, may live there.
set -u

program=$1
stand_in=$2
output=$3

if [ "${RIG_INSIDE:-}" != 1 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "skipped: the dial-up rig needs root to make namespaces and devices"
        exit 77
    fi
    for tool in unshare Xvfb fluxbox xdotool xwininfo xprop xclip import pon poff pidof ping ip \
        dbus-daemon sqlite3; do
        command -v "$tool" >/dev/null ||
            { echo "FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
    done
    [ -e /usr/sbin/pppd ] && [ -d /etc/ppp/peers ] ||
        { echo "FAIL: the ppp package is missing"; exit 1; }
    exec env RIG_INSIDE=1 unshare --mount --net --pid --fork --kill-child --mount-proc \
        --propagation private bash "$0" "$@"
fi

mkdir -p "$output"
mount -t sysfs sysfs /sys || { echo "FAIL: private /sys"; exit 1; }
ip link set lo up
for scope in all default; do echo 1 >"/proc/sys/net/ipv6/conf/$scope/disable_ipv6" 2>/dev/null; done

work=$(mktemp -d /tmp/filocompte-rig.XXXXXX)
mkdir -p "$work/peers" "$work/home"
cat >"$work/peers/provider" <<EOF
# The line: the socket the provider's end answers on.
$work/line.sock
unit 0
10.64.0.2:10.64.0.1
defaultroute
nodetach
EOF
mount --bind "$stand_in" /usr/sbin/pppd && mount --bind "$work/peers" /etc/ppp/peers ||
    { echo "FAIL: bind mounts over /usr/sbin/pppd and /etc/ppp/peers"; exit 1; }

log=$output/dialup-rig.log
: >"$log"
# shellcheck source=../support/desktop_session.sh
source "$(dirname "$0")/../support/desktop_session.sh"
trap 'stop_all; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

shot() {
    import -window root "$output/dialup-rig-$1.png" 2>/dev/null
}

# The provider, answering calls in a network namespace of its own.
start unshare --net "$stand_in" isp "$work/line.sock" 10.64.0.1 10.64.0.2
isp=${started[-1]}

start Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display"
eventually 10 test -s "$work/display" || { echo "FAIL Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display") HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
start fluxbox
check "the window manager runs" \
    eventually 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
check "the provider answers" eventually 5 test -S "$work/line.sock"

# ---- helpers on the program's windows ----

# Without a session bus the tray icon is the X11 embedded one that fluxbox's tray takes.
start_program() {
    start env -C "$1" -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb LANG=fr_FR.UTF-8 \
        ASAN_OPTIONS=detect_leaks=0 "$program"
    pid=${started[-1]}
    eventually 20 find_widget && eventually 10 find_tray_icon
}

# The program (or the process of that pid) shows a window of this title. Its WM_NAME is read
# again: xdotool's search by name also finds windows of other titles.
shown() {
    local candidate
    for candidate in $(xdotool search --onlyvisible --pid "${2:-$pid}" --name "$1" 2>/dev/null); do
        xprop -id "$candidate" WM_NAME 2>/dev/null | grep -q "^WM_NAME([A-Z0-9_]*) = \"$1\"$" &&
            return 0
    done
    return 1
}

# The widget is the window titled Filocompte as wide as the skin.
find_widget() {
    local candidate candidates
    candidates=$(xdotool search --onlyvisible --pid "$pid" --name '^Filocompte$' 2>/dev/null)
    for candidate in $candidates; do
        geometry "$candidate" && [ "$width" -eq 264 ] && widget=$candidate && return 0
    done
    return 1
}

# The tray icon: override-redirect, reparented by the tray, not managed (no WM_STATE).
find_tray_icon() {
    local icon
    for icon in $(windows_where 'Override Redirect State: yes'); do
        xwininfo -tree -id "$icon" | grep -q 'Parent window id: .*(the root window)' && continue
        xprop -id "$icon" WM_STATE | grep -q 'not found' && tray_icon=$icon && return 0
    done
    return 1
}

# Qt's pop-up menus are override-redirect children of the root; the first one that is not $1.
find_menu() {
    local candidate
    for candidate in $(windows_where 'Override Redirect State: yes'); do
        [ "$candidate" != "${1:-}" ] &&
            xwininfo -tree -id "$candidate" | grep -q 'Parent window id: .*(the root window)' &&
            menu=$candidate && return 0
    done
    return 1
}

# steady_for SECONDS COMMAND...: the command succeeds all along.
steady_for() {
    local end=$((SECONDS + $1))
    shift
    while [ "$SECONDS" -lt "$end" ]; do
        "$@" || return 1
        sleep 0.1
    done
}

click() {
    xdotool mousemove "$2" "$3"
    # A press too soon after the move is lost under some window managers.
    sleep 0.3
    xdotool mousedown "$1"
    sleep 0.1
    xdotool mouseup "$1"
}

# The menu's items, top to bottom; none is a separator, so each takes an equal share.
items=("Voir le détail des connexions" "Historique des connexions…" "Réinitialiser le compteur" "Jour de R.A.Z."
       "Fixer le forfait" "Fixer le forfait de volume…" "Masquer" "A propos de ..." "Version Info"
       "Un petit coup de main" "Décrocher" "Raccrocher" "Quitter")

reset_day_items=("Changer" "Voir")

# click_item ITEM ITEMS...: a click on the item of the open menu $menu whose items are ITEMS.
click_item() {
    local item=$1 i index=-1
    shift
    for ((i = 1; i <= $#; i++)); do [ "${!i}" = "$item" ] && index=$((i - 1)); done
    geometry "$menu" && [ "$index" -ge 0 ] || return 1
    click 1 $((left + width / 2)) $((top + height * (2 * index + 1) / (2 * $#)))
}

# menu_pick ITEM: right click on the tray icon, click on the item; "Jour de R.A.Z." takes the item
# of its submenu as a second argument.
menu_pick() {
    geometry "$tray_icon" || return 1
    click 3 $((left + width / 2)) $((top + height / 2))
    eventually 3 find_menu && click_item "$1" "${items[@]}" || return 1
    if [ $# -eq 2 ]; then
        eventually 3 find_menu "$menu" && click_item "$2" "${reset_day_items[@]}" || return 1
    fi
    eventually 3 eval '! find_menu'
}

# shows_colour X Y COLOUR: the widget shows the colour around its point (X, Y). The strip drifts a
# pixel every 100 ms while the screen is read, so a few pixels of a short row around the point
# must have it, not the one pixel.
shows_colour() {
    geometry "$widget" &&
        [ "$(import -window root -crop "9x1+$((left + $1 - 4))+$((top + $2))" -depth 8 txt:- \
                2>/dev/null | grep -c "$3")" -ge 3 ]
}

# The state mark at the tongue's tip, where the tongue is still eight pixels wide.
state_mark_is() {
    shows_colour 46 75 "$1"
}

# The plan's yellow alarm square, over the tongue.
alarm_square_shown() {
    shows_colour 45 60 '#FFFF00'
}

alarm_square_hidden() {
    ! alarm_square_shown
}

counter_line() {
    sed -n "$1{s/\r$//;p}" "$home/decompte_internet.log" 2>/dev/null
}

# The link under test: the dialled one, or the cellular one.
link=ppp0
link_up() {
    ip link show "$link" >/dev/null 2>&1
}

now() {
    date +%s.%N
}

# The seconds since $since, to the tenth.
elapsed() {
    LC_ALL=C awk -v now="$(now)" -v since="$since" 'BEGIN { printf "%.1f", now - since }'
}

# A connection of $2 seconds adds its ticks and the dead time: at most two ticks fewer than it
# lasted (the first tick comes a second after the link is seen), never more.
counted() {
    local added=$1 lasted=${2%.*}
    echo "     added $added s for a connection of $2 s" >&2
    [ "$added" -ge $((10 + lasted - 2)) ] && [ "$added" -le $((10 + lasted + 1)) ]
}

# dial: "Décrocher" from the tray, until the link is up and counted (the strip red); sets $since.
dial() {
    menu_pick "Décrocher" && eventually 10 link_up || return 1
    since=$(now)
    eventually 5 state_mark_is '#FF0000'
}

# The link went down and the counter file grew from $before by the connection.
ended_and_counted() {
    eventually 10 eval '! link_up' || return 1
    local lasted
    lasted=$(elapsed)
    eventually 5 eval '[ "$(counter_line 2)" != "$before" ]' &&
        counted $(($(counter_line 2) - before)) "$lasted"
}

# cell ROW COLUMN: the detail grid's text there, copied with Ctrl+C from the table.
cell() {
    local detail
    detail=$(xdotool search --onlyvisible --pid "$pid" --name '^Etat des connexions$' | head -1)
    geometry "$detail" || return 1
    # The first data cell, below the 24-pixel header and beside the row numbers.
    click 1 $((left + 60)) $((top + 36))
    xdotool key ctrl+Home
    local i
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
    for ((i = 0; i < $2; i++)); do xdotool key Right; done
    xdotool key ctrl+c
    sleep 0.2
    xclip -o -selection clipboard 2>/dev/null
}

# The row of $link in the detail grid lists it as a WAN link and shows traffic both ways.
detail_shows_traffic() {
    local row text in out
    for row in 0 1 2 3 4 5; do
        text=$(cell "$row" 0)
        if [[ $text == *"$link"* ]]; then
            in=$(cell "$row" 3)
            out=$(cell "$row" 6)
            echo "     $text: $in B/s in, $out B/s out" >&2
            [[ $text == *WAN* && $in =~ ^[0-9]+$ && $in -gt 0 && $out =~ ^[0-9]+$ && $out -gt 0 ]]
            return
        fi
    done
    return 1
}

# The refusal is a message box that takes the focus: the program's other window titled
# Filocompte. Its text is only in the screenshot: Qt copies a box's text on Windows alone.
message_shown() {
    local box
    box=$(xdotool getactivewindow 2>/dev/null) && [ "$box" != "$widget" ] &&
        xdotool getwindowname "$box" | grep -qx Filocompte
}

# The first line of the counter file, a day-first date, in seconds since the epoch.
reset_date_seconds() {
    date -d "$(counter_line 1 | sed 's|\(..\)/\(..\)/\(....\)|\3-\2-\1|')" +%s
}

# check_traffic SHOT: pings through $link to $peer show in the detail window; the screenshot is
# kept.
peer=10.64.0.1
check_traffic() {
    check "the line carries traffic to the provider" eval 'ping -c 2 -W 2 -q "$peer" >/dev/null'
    ping -i 0.2 -c 100 -q "$peer" >/dev/null 2>&1 &
    local pinger=$!
    menu_pick "Voir le détail des connexions"
    check "the detail window lists $link as WAN with traffic" eventually 15 detail_shows_traffic
    shot "$1"
    kill "$pinger" 2>/dev/null
    wait "$pinger" 2>/dev/null
}

# ---- 1. First start in an empty working directory ----
home=$work/home/run
mkdir -p "$home"
started_at=$(date +%s)
check "the program shows its widget and tray icon" start_program "$home"
check "the counter file is made: now, 0 s, 1 hour" eval '
    [ "$(reset_date_seconds)" -ge "$started_at" ] &&
    [ "$(reset_date_seconds)" -le "$(date +%s)" ] &&
    [ "$(counter_line 2)" = 0 ] && [ "$(counter_line 3)" = 1 ]'
check "the help window is shown" eventually 5 shown "Je vous dois des ex-complications"
check "the tongue hangs from the top edge" eval 'geometry "$widget" && [ "$top" -eq -48 ]'
check "the state mark is green" eventually 5 state_mark_is '#008000'
shot 1-first-start
check "the splash closes by itself" eventually 8 eval '! shown "A propos"'
printf '1\r\n' >"$home/jour_raz.txt"

# journal SQL: the answer of the journal beside the counter file.
journal() {
    sqlite3 -separator ' ' "$home/decompte_internet.sqlite" "$1"
}

# ---- 2. Décrocher, traffic, Raccrocher ----
before=$(counter_line 2)
check "Décrocher dials: ppp0 up, the strip red" dial
check_traffic 2-connected-detail
check "Raccrocher hangs up and the connection is counted" \
    eval 'menu_pick Raccrocher && ended_and_counted'
check "the strip is no longer red" eventually 5 eval '! state_mark_is "#FF0000"'
check "the journal has the connection: its seconds, its link and the pings' octets" eval '
    read -r seconds interface received sent <<<"$(journal "SELECT seconds, interface, received,
        sent FROM entries WHERE kind = '"'ended'"'")" &&
    echo "     journalled $seconds s on $interface, $received octets in, $sent out" >&2 &&
    [ "$seconds" = "$(($(counter_line 2) - before))" ] && [ "$interface" = ppp0 ] &&
    [ "$received" -ge 168 ] && [ "$sent" -ge 168 ]'
shot 2-hung-up

# ---- 3. The provider drops the line ----
before=$(counter_line 2)
check "Décrocher dials again" dial
# Long enough to be told apart from the dead time alone.
sleep 2
kill -USR1 "$isp"
check "a drop from the provider's end is counted" ended_and_counted
shot 3-dropped

# ---- 4. Quitter during a connection ----
before=$(counter_line 2)
check "Décrocher dials a third time" dial
menu_pick Quitter
check "Quitter is refused during a connection" eventually 5 message_shown
shot 4-refused
xdotool key Return
check "the program still runs" kill -0 "$pid"
check "Raccrocher counts the connection" eval 'menu_pick Raccrocher && ended_and_counted'
menu_pick Quitter
check "then Quitter ends the program" eventually 10 eval '! kill -0 "$pid" 2>/dev/null'
wait "$pid"
check "with status 0" test $? -eq 0

# ---- 5. A termination signal during a connection ----
check "the program starts again" start_program "$home"
before=$(counter_line 2)
check "Décrocher dials" dial
shot 5-connected
menu_pick "Historique des connexions…"
check "the history window shows the chart and the forecast, from a process of its own" \
    eventually 5 eval 'history_pid=$(pgrep -P "$pid" -f historique) &&
                       shown "Historique des connexions" "$history_pid"'
sleep 1
shot 5-history
kill -TERM "$pid"
check "a termination signal ends it" eventually 10 eval '! kill -0 "$pid" 2>/dev/null'
check "and the history's process with it" eventually 10 eval '! kill -0 "$history_pid" 2>/dev/null'
wait "$pid"
check "with status 0" test $? -eq 0
check "the connection is recorded first" \
    eval 'lasted=$(elapsed); counted $(($(counter_line 2) - before)) "$lasted"'
check "the journal has each connection once, the stopped one last" eval '
    [ "$(journal "SELECT group_concat(kind) FROM entries")" = ended,ended,ended,stopped ]'
poff >/dev/null
check "poff hangs up what the program left up" eventually 10 eval '! link_up'

# ---- 5b. The display goes during a connection ----
# On a display of its own, which is then killed; the line is dialled with pon.
start Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display2"
eventually 10 test -s "$work/display2" || { echo "FAIL the second Xvfb did not start"; exit 1; }
xvfb2=${started[-1]}
display2=:$(head -1 "$work/display2")
start env -C "$home" -u DBUS_SESSION_BUS_ADDRESS DISPLAY="$display2" QT_QPA_PLATFORM=xcb \
    LANG=fr_FR.UTF-8 ASAN_OPTIONS=detect_leaks=0 "$program"
pid=${started[-1]}
check "the program starts on its own display" \
    eval 'DISPLAY=$display2 eventually 20 find_widget'
before=$(counter_line 2)
# The peer file keeps pppd in the foreground, and pon with it.
start pon
eventually 10 link_up
since=$(now)
checkpoint=$home/decompte_internet.reprise
check "a connection with its checkpoint" eventually 5 test -e "$checkpoint"
# Long enough to be told apart from the checkpoint's seconds.
sleep 5
lasted=$(elapsed)
stopped="SELECT count(*) FROM entries WHERE kind = 'stopped'"
stops=$(journal "$stopped")
kill -TERM "$xvfb2"
check "the display's end ends the program" eventually 10 eval '! kill -0 "$pid" 2>/dev/null'
check "the connection is recorded up to that moment" \
    eval 'counted $(($(counter_line 2) - before)) "$lasted"'
check "and its checkpoint is gone" test ! -e "$checkpoint"
check "and the journal has its row" \
    eval '[ "$(journal "$stopped")" -eq $((stops + 1)) ]'
poff >/dev/null
eventually 10 eval '! link_up'

# ---- 6. The plan reached: the alarm square blinks until the plan is lifted ----
home=$work/home/plan
mkdir -p "$home"
printf '1\r\n' >"$home/jour_raz.txt"
printf '%s\r\n3600\r\n1\r\n' "$(date '+%d/%m/%Y %H:%M:%S')" >"$home/decompte_internet.log"
check "the program starts with the plan of 1 hour used up" start_program "$home"
check "the alarm square blinks" eventually 5 alarm_square_shown
shot 6-alarm
check "and hides again" eventually 5 alarm_square_hidden
menu_pick "Fixer le forfait"
check "Fixer le forfait asks" eventually 5 eval \
    'xdotool getwindowname "$(xdotool getactivewindow)" | grep -qx "Fixer le forfait en heures"'
xdotool key ctrl+a type 0
xdotool key Return
check "answered 0, the plan is lifted in the file" eventually 5 eval '[ "$(counter_line 3)" = 0 ]'
# The next tick hides the square; it stays hidden.
check "and the square blinks no more" \
    eval 'eventually 3 alarm_square_hidden && steady_for 3 alarm_square_hidden'
shot 6-plan-lifted

# ---- 7. The reset day and the counter's reset ----
# dialog_is TITLE: the window with the focus has this title.
dialog_is() {
    xdotool getwindowname "$(xdotool getactivewindow)" 2>/dev/null | grep -qx "$1"
}
menu_pick "Jour de R.A.Z." Changer
check "Changer asks for the reset day" eventually 5 dialog_is "Entrer le jour de R.A.Z. du compteur"
xdotool key ctrl+a type 15
xdotool key Return
check "the reset day is written" \
    eventually 5 eval '[ "$(cat "$home/jour_raz.txt")" = "$(printf "15\r\n")" ]'
menu_pick "Jour de R.A.Z." Voir
check "Voir tells it" eventually 5 dialog_is Filocompte
shot 7-reset-day
xdotool key Return
started_at=$(date +%s)
menu_pick "Réinitialiser le compteur"
check "Réinitialiser le compteur asks first" eventually 5 dialog_is Confirmation
xdotool key Return
check "the counter restarts now from 0, the plan kept" eventually 5 eval '
    [ "$(counter_line 2)" = 0 ] && [ "$(counter_line 3)" = 0 ] &&
    [ "$(reset_date_seconds)" -ge "$started_at" ] && [ "$(reset_date_seconds)" -le "$(date +%s)" ]'

# ---- 8. A cellular link counts, a LAN link never does ----
link=wwan0
before=$(counter_line 2)
start "$stand_in" cellular "$work/line.sock" 10.64.0.2 10.64.0.1
cellular=${started[-1]}
check "a cellular link comes up" eventually 10 link_up
since=$(now)
check "the strip turns red" eventually 5 state_mark_is '#FF0000'
check_traffic 8-cellular
kill -TERM "$cellular"
check "its end is counted" ended_and_counted
before=$(counter_line 2)
ip link add eth9 type veth peer name eth9-peer && ip link set eth9-peer up && ip link set eth9 up &&
    ip addr add 192.168.77.2/24 dev eth9 && ip route add default via 192.168.77.1
check "a LAN link with the default route leaves the strip green" \
    eval 'eventually 3 state_mark_is "#008000" && steady_for 3 state_mark_is "#008000"'
check "and counts nothing" test "$(counter_line 2)" = "$before"
shot 8-lan
# The next scenario's default route goes through the phone.
ip link del eth9
menu_pick Quitter
check "Quitter ends the program" eventually 10 eval '! kill -0 "$pid" 2>/dev/null'

# ---- 9. A phone tethered over USB, which NetworkManager reports metered ----
# NetworkManager's stand-in on a private system bus; the phone's end in a namespace of its own.
nm_stand_in=$(dirname "$0")/../support/nm_stand_in.py
read -r DBUS_SYSTEM_BUS_ADDRESS _ < <("$nm_stand_in" bus "$work/system_bus")
export DBUS_SYSTEM_BUS_ADDRESS
check "NetworkManager's stand-in reports usb0 metered" \
    eval '"$nm_stand_in" start >/dev/null && "$nm_stand_in" device usb0 3'
link=usb0
peer=192.168.42.129
# A tmpfs of this mount namespace holds the phone's namespace file, which then leaves no trace.
check "the phone is plugged in as usb0" eval 'mkdir -p /run/netns &&
    mount -t tmpfs tmpfs /run/netns && ip netns add phone &&
    ip link add usb0 type veth peer name usb0-peer netns phone &&
    ip -n phone link set usb0-peer up && ip -n phone addr add "$peer/24" dev usb0-peer &&
    ip link set usb0 up && ip addr add 192.168.42.2/24 dev usb0'
home=$work/home/tethered
mkdir -p "$home"
printf '1\r\n' >"$home/jour_raz.txt"
check "the program starts beside NetworkManager" start_program "$home"
check "the strip is green before the phone's route" eventually 5 state_mark_is '#008000'
before=$(counter_line 2)
check "the phone's default route is the only one" ip route add default via "$peer"
since=$(now)
check "the tethered phone's connection turns the strip red" eventually 5 state_mark_is '#FF0000'
check_traffic 9-tethered
ip link del usb0
check "unplugging the phone ends the connection, counted" ended_and_counted
menu_pick Quitter
check "Quitter ends the program" eventually 10 eval '! kill -0 "$pid" 2>/dev/null'

# ---- 10. A VPN over ppp0, routed as OpenVPN does without def1: one connection, counted whole ----
link=ppp0
peer=10.64.0.1
home=$work/home/vpn
mkdir -p "$home"
printf '1\r\n' >"$home/jour_raz.txt"
check "the program starts again" start_program "$home"
before=$(counter_line 2)
check "Décrocher dials" dial
start "$stand_in" vpn vpn0 10.8.0.2 10.8.0.1
vpn=${started[-1]}
# The default route is replaced in one step: between a removal and an addition a tick would see
# no route at all.
check "the VPN's tunnel takes the default route from ppp0" eval '
    eventually 5 eval "ip addr show dev vpn0 2>/dev/null | grep -q 10.8.0.2" &&
    ip route add 203.0.113.9 via "$peer" dev ppp0 && ip route replace default dev vpn0 &&
    [ "$(ip route show default | grep -c .)" = 1 ] && ip route show default | grep -q "dev vpn0"'
check "the strip stays red beneath the tunnel" steady_for 4 state_mark_is '#FF0000'
check_traffic 10-vpn
check "Raccrocher drops ppp0 beneath the tunnel; the connection is counted whole" \
    eval 'menu_pick Raccrocher && ended_and_counted'
check "the tunnel left alone is no connection" \
    eval 'ip link show vpn0 >/dev/null && steady_for 3 eval "! state_mark_is \"#FF0000\""'
check "the journal has one connection, on ppp0" \
    eval '[ "$(journal "SELECT kind, interface FROM entries")" = "ended ppp0" ]'
shot 10-vpn-hung-up
kill -TERM "$vpn"
menu_pick Quitter
check "Quitter ends the program" eventually 10 eval '! kill -0 "$pid" 2>/dev/null'

echo "screenshots and log: $output/dialup-rig*"
[ "$failures" -eq 0 ]
