#!/bin/sh
# ISH codec throughput per code type (32 MB of random bytes, in memory).
# Usage: bench/ish_bench.sh
set -e
here=$(cd "$(dirname "$0")" && pwd)
codec="$here/../archivers/ish/codec"
out=${WORK:-/tmp}/zv_ish_bench
g++ -O2 -std=c++20 -I"$codec" "$here/ish_bench.cc" "$codec"/*.cc -o "$out"
"$out"
