#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Filocompte needs on Debian 12, only what is missing.
set -euo pipefail

packages=(build-essential cmake pkg-config clang-format clang-tidy libgtest-dev qt6-base-dev
          qt6-base-dev-tools libgl-dev qt6-charts-dev libqt6sql6-sqlite sqlite3
          libudev-dev libxcb1-dev libcanberra-dev sound-theme-freedesktop ppp locales
          fonts-liberation2 xvfb xauth iproute2 binutils openbox fluxbox trayer xdotool
          x11-utils imagemagick xclip iputils-ping python3 dpkg-dev debhelper lintian
          desktop-file-utils appstream conky-std gkrellm dbus-daemon python3-dbusmock)
# The window managers the window tests run under, without their desktops' recommendations:
# mutter alone would otherwise pull in a hundred packages more.
window_managers=(icewm xfwm4 mutter xwayland)

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

updated=false
# install [APT-OPTION...] -- PACKAGE...: those of the packages that are missing.
install() {
    local options=() missing=() p
    while [ "$1" != -- ]; do options+=("$1"); shift; done
    shift
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installation des paquets manquants : ${missing[*]}"
    $updated || sudo_if_needed apt-get update -q
    updated=true
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${options[@]}" "${missing[@]}"
}
install -- "${packages[@]}"
install --no-install-recommends -- "${window_managers[@]}"

# The program's texts, dates and 8-bit conversions follow the French locale; the tests also start
# it under an English one.
for wanted in fr_FR en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
        sudo_if_needed sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen ||
            echo "$wanted.UTF-8 UTF-8" | sudo_if_needed tee -a /etc/locale.gen >/dev/null
        sudo_if_needed locale-gen
    fi
done
