#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and checks the Debian package, then builds Filocompte with
# AddressSanitizer and UBSan, checks the format and the lint set, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build-deb.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DFILOCOMPTE_SANITIZE=ON >/dev/null
cmake --build build-test -j"$(nproc)"
scripts/check.sh build-test
export LANG=fr_FR.UTF-8 QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j"$(nproc)"
