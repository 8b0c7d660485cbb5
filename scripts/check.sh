#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The format of every C++ file against .clang-format, and the small clang-tidy set of .clang-tidy
# over the program's own sources. Usage: check.sh BUILD_DIR (a configured build, for its
# compile_commands.json). The compiler's own warnings are the build's business, not this check's.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "Format: run clang-format -i on the files above." >&2
    exit 1
fi

mapfile -t program < <(git ls-files 'app/*.cpp' 'counter/*.cpp' 'info/*.cpp' 'journal/*.cpp' \
                                     'netstats/*.cpp' \
                                     'platform/*.cpp' 'shell/*.cpp')
printf '%s\n' "${program[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet \
        --extra-arg=-w 2>/dev/null
echo "Format and lint: clean."
