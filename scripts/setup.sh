#!/usr/bin/env bash
# Installs what Filocompte needs on Debian 12, only what is missing.
set -euo pipefail

packages=(build-essential cmake pkg-config libgtest-dev qt6-base-dev qt6-base-dev-tools libgl-dev
          libudev-dev libxcb1-dev libcanberra-dev sound-theme-freedesktop ppp locales
          fonts-liberation2 xvfb xauth iproute2 binutils openbox fluxbox trayer xdotool
          x11-utils imagemagick xclip iputils-ping python3 dpkg-dev debhelper lintian
          desktop-file-utils appstream conky-std gkrellm dbus-daemon python3-dbusmock)

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installation des paquets manquants : ${missing[*]}"
    sudo_if_needed apt-get update -q
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# The program's texts, dates and 8-bit conversions follow the French locale.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    sudo_if_needed sed -i 's/^# *\(fr_FR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
    sudo_if_needed locale-gen
fi
