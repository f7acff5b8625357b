#!/bin/sh
# Builds the ISH decoder fuzz target with clang's libFuzzer (plus ASan and UBSan) and runs it.
# Usage: fuzz/ish_decode_fuzz.sh [seconds]   (default 60; the corpus lives in $WORK)
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${WORK:-/tmp/ish_decode_fuzz}
secs=${1:-60}
mkdir -p "$work/corpus"
codec="$root/archivers/ish/codec"
flags="-g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
clang++ -std=c++20 $flags -I"$codec" -I"$root/platform/include" "$here/ish_decode_fuzz.cc" "$codec"/*.cc -o "$work/ish_decode_fuzz"
if [ -z "$(ls -A "$work/corpus")" ]; then
  cp "$root/tests/data/ish/macish-test.ish" "$work/corpus/sample" 2>/dev/null || true
  for t in 0 1 2 3; do
    { printf "\\00$t\\001\\002\\003\\004\\005\\006\\007"; head -c 3000 /dev/urandom; } > "$work/corpus/enc$t"
  done
fi
"$work/ish_decode_fuzz" -max_total_time="$secs" -max_len=65536 -rss_limit_mb=2048 "$work/corpus"
