#!/bin/sh
# Builds the LZH decoder fuzz target with clang's libFuzzer (plus ASan and UBSan) and runs it.
# Usage: fuzz/lzh_decode_fuzz.sh [seconds]   (default 60; the corpus lives in $WORK)
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${WORK:-/tmp/lzh_decode_fuzz}
secs=${1:-60}
mkdir -p "$work/corpus" "$work/obj"
codec="$root/archivers/lzh/codec"
flags="-g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fno-exceptions -fno-rtti"
objs=""
for f in "$codec"/*.cpp; do
  o="$work/obj/$(basename "$f").o"
  clang++ -std=c++20 $flags -I"$codec" -c "$f" -o "$o"
  objs="$objs $o"
done
clang++ -std=c++20 $flags -I"$codec" "$here/lzh_decode_fuzz.cc" $objs -o "$work/lzh_decode_fuzz"
# Seed the corpus with the members of the shared fixtures, prefixed with a method byte.
if [ -z "$(ls -A "$work/corpus")" ]; then
  i=0
  for f in "$root"/tests/data/lzh/*/*.lz? "$root"/tests/data/lzh-samples/*.lzh; do
    [ -f "$f" ] || continue
    for sel in 03 05 07 09 0a; do
      { printf "\\x$sel\\x00\\x80\\x00"; head -c 4096 "$f"; } > "$work/corpus/seed$i"
      i=$((i + 1))
    done
  done
fi
"$work/lzh_decode_fuzz" -artifact_prefix="$work/" -max_total_time="$secs" -max_len=8192 -rss_limit_mb=1024 "$work/corpus"
