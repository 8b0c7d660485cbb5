#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The GUI thread's freeze when a connection's end is journalled while the sqlite3 shell holds the
# journal in a transaction, for a lock held 3 s and 8 s (the busy wait of SQLite lasts 5 s).
# Usage: bench/run_journal_lock_bench.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_lib.sh

build=$(build_directory "${1:-}" bench_journal_lock)
bench=$(realpath "$build/bench/bench_journal_lock")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT INT TERM
for held in 3 8; do
    rm -f "$folder"/*
    "$bench" "$folder" "$held"
done
