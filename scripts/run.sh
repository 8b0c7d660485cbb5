#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Filocompte and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target filocompte
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Filocompte : aucun affichage graphique disponible (ni DISPLAY ni WAYLAND_DISPLAY), le programme ne peut pas s'ouvrir." >&2
    exit 1
fi
exec build/app/filocompte
