#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the sampler's fills through the real Linux layer with 1, 8, 64 and 512 interfaces (tun
# devices with an IPv4 address each, in a network namespace of its own, loopback not counted),
# beside the floor of one link dump and one address dump.
# Needs root. Usage: bench/run_sampler_bench.sh [path/to/bench_sampler] [seconds per measurement]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_lib.sh

bench=${1:-}
seconds=${2:-2}
if [ -z "$bench" ]; then
    build_targets bench_sampler
    bench=build-bench/bench/bench_sampler
fi
bench=$(realpath "$bench")

ns=filocompte-bench-$$
cleanup() { ip netns del "$ns" 2>/dev/null || true; }
trap cleanup EXIT INT TERM
ip netns add "$ns"
ip -n "$ns" link set lo up

# The fills' targets, as ratios to the floor: disconnected, then connected (0: none).
declare -A targets=([1]="0 0" [8]="2 1.2" [64]="2 1.2" [512]="3 0")
created=0
for n in 1 8 64 512; do
    add_interfaces "$ns" "$created" "$n"
    created=$n
    printf 'N=%-4s ' "$n"
    # shellcheck disable=SC2086 # two numbers
    ip netns exec "$ns" env QT_QPA_PLATFORM=offscreen "$bench" "$seconds" ${targets[$n]} 2>/dev/null
done
