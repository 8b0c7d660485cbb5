#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times one whole tick of the counter, disconnected and connected, with 8 and 64 interfaces, beside
# the floor of one link dump and one address dump. The interfaces live in a network namespace of
# its own: one PPP link (a tun device kept attached by ppp_link) and tun devices with an IPv4
# address each, loopback not counted. Connected means a default route through the PPP link.
# Needs root. Usage: bench/run_tick_bench.sh [build directory] [seconds per measurement]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_lib.sh

build=$(build_directory "${1:-}" bench_tick ppp_link)
seconds=${2:-2}
bench=$(realpath "$build/bench/bench_tick")
link=$(realpath "$build/bench/ppp_link")

ns=filocompte-tick-$$
link_pid=
errors=$(mktemp)
cleanup() {
    rm -f "$errors"
    [ -z "$link_pid" ] || stop_pid "$link_pid"
    ip netns del "$ns" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
ip netns add "$ns"
ip -n "$ns" link set lo up

# The PPP link: up, with a peer, no traffic.
start_ppp_link "$ns" "$link"

created=0
for n in 8 64; do
    # The PPP link is one of the n.
    add_interfaces "$ns" "$created" "$((n - 1))"
    created=$((n - 1))
    printf 'N=%-3s ' "$n"
    ip netns exec "$ns" env QT_QPA_PLATFORM=offscreen "$bench" "$seconds" disconnected 2>"$errors" ||
        { cat "$errors"; exit 1; }
    ip -n "$ns" route add default dev ppp0
    printf 'N=%-3s ' "$n"
    ip netns exec "$ns" env QT_QPA_PLATFORM=offscreen "$bench" "$seconds" connected 2>"$errors" ||
        { cat "$errors"; exit 1; }
    ip -n "$ns" route del default
done
