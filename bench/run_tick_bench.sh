#!/usr/bin/env bash
# Times one whole tick of the counter, disconnected and connected, with 8 and 64 interfaces, beside
# the floor of one link dump and one address dump. The interfaces live in a network namespace of
# its own: one PPP link (a tun device kept attached by ppp_link) and tun devices with an IPv4
# address each, loopback not counted. Connected means a default route through the PPP link.
# Needs root. Usage: bench/run_tick_bench.sh [build directory] [seconds per measurement]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-}
seconds=${2:-2}
if [ -z "$build" ]; then
    cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build-bench -j2 --target bench_tick ppp_link >/dev/null
    build=build-bench
fi
bench=$(realpath "$build/bench/bench_tick")
link=$(realpath "$build/bench/ppp_link")

ns=filocompte-tick-$$
link_pid=
errors=$(mktemp)
cleanup() {
    rm -f "$errors"
    if [ -n "$link_pid" ]; then
        kill "$link_pid" 2>/dev/null || true
        wait "$link_pid" 2>/dev/null || true
    fi
    ip netns del "$ns" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
ip netns add "$ns"
ip -n "$ns" link set lo up

# The PPP link: up, with a peer, no traffic.
ip netns exec "$ns" "$link" fcppp &
link_pid=$!
for ((i = 0; i < 50; i++)); do
    ip -n "$ns" link show fcppp 2>/dev/null | grep -q link/ppp && break
    sleep 0.1
done
ip -n "$ns" link show fcppp | grep -q link/ppp
ip -n "$ns" address add 10.255.0.1 peer 10.255.0.2 dev fcppp
ip -n "$ns" link set fcppp up

# Adds tun devices fcb<from> to fcb<to - 1>, up, each with an address of its own /24.
add_interfaces() {
    for ((i = $1; i < $2; i++)); do
        echo "tuntap add dev fcb$i mode tun"
        echo "address add 10.$((i / 256)).$((i % 256)).1/24 dev fcb$i"
        echo "link set fcb$i up"
    done | ip -n "$ns" -batch -
}

created=0
for n in 8 64; do
    # The PPP link is one of the n.
    add_interfaces "$created" "$((n - 1))"
    created=$((n - 1))
    printf 'N=%-3s ' "$n"
    ip netns exec "$ns" env QT_QPA_PLATFORM=offscreen "$bench" "$seconds" disconnected 2>"$errors" ||
        { cat "$errors"; exit 1; }
    ip -n "$ns" route add default dev fcppp
    printf 'N=%-3s ' "$n"
    ip netns exec "$ns" env QT_QPA_PLATFORM=offscreen "$bench" "$seconds" connected 2>"$errors" ||
        { cat "$errors"; exit 1; }
    ip -n "$ns" route del default
done
