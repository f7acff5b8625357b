#!/bin/bash
# Every speed and memory goal from one run: the windows' roads at scale with peak memory
# (window_roads.sh), then the LZH codec against its peers (lzh_vs_peers.sh), each printing its
# figures beside the peers' with the goal. Run on a quiet machine; only ratios within one run
# compare.
# Usage: bench/speed_goals.sh BUILD_DIR [work-folder]     (default /dev/shm/zv_speed_goals)
#   Extra settings of the two scripts (SIZES, BEFORE, BOUND, ...) pass through the environment.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: bench/speed_goals.sh BUILD_DIR [work-folder]}
work=${2:-/dev/shm/zv_speed_goals}
echo "== The windows' roads and memory"
"$here/window_roads.sh" "$build" "$work/roads"
echo
echo "== The LZH codec"
"$here/lzh_vs_peers.sh" "$work/codec"
