#!/bin/sh
# Builds the ZIP name-decoding and listing fuzz target with clang's libFuzzer (plus ASan and
# UBSan) against the system libzip, and runs it.
# Usage: fuzz/zip_names_fuzz.sh [seconds]   (default 60; the corpus lives in $WORK)
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${WORK:-/tmp/zip_names_fuzz}
secs=${1:-60}
mkdir -p "$work/corpus"
zipdir="$root/archivers/zip"
flags="-g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
clang++ -std=c++20 $flags -I"$zipdir" -I"$root/archivers/common" -I"$root/archivers/include" -I"$root/platform/include" \
  "$here/zip_names_fuzz.cc" "$zipdir/zip_names.cc" "$zipdir/zip_archive.cc" "$zipdir/zip_listing.cc" \
  "$root/archivers/common/write_gate.cc" "$root/platform/src/encoding.cpp" $(pkg-config --libs libzip) -lz \
  -o "$work/zip_names_fuzz"
if [ -z "$(ls -A "$work/corpus")" ]; then
  tmp=$(mktemp -d)
  printf 'a' > "$tmp/a.txt"; mkdir -p "$tmp/d"; printf 'b' > "$tmp/d/b.txt"
  (cd "$tmp" && zip -q -r "$work/corpus/infozip.zip" . && 7z a -tzip -mcp=932 "$work/corpus/7z.zip" . >/dev/null) || true
  rm -rf "$tmp"
fi
"$work/zip_names_fuzz" -max_total_time="$secs" -max_len=65536 -rss_limit_mb=2048 "$work/corpus"
