#!/bin/sh
# Builds the LZH header-reader fuzz target with clang's libFuzzer (plus ASan and UBSan) and
# runs it for a bounded time. Usage: fuzz/lzh_header_fuzz.sh [seconds]   (default 60)
# Exits 77 (skipped) where clang or libFuzzer is missing.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${WORK:-/tmp/lzh_header_fuzz}
secs=${1:-60}
command -v clang++ >/dev/null 2>&1 || { echo "clang++ missing: fuzzing skipped"; exit 77; }
probe=$(mktemp -d)
echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' > "$probe/p.cc"
if ! clang++ -fsanitize=fuzzer "$probe/p.cc" -o "$probe/p" 2>/dev/null; then
  rm -rf "$probe"
  echo "libFuzzer missing: fuzzing skipped"
  exit 77
fi
rm -rf "$probe"
mkdir -p "$work/corpus" "$work/obj"
lzh="$root/archivers/lzh"
flags="-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -std=c++20"
inc="-I$lzh -I$lzh/codec -I$root/archivers/common -I$root/platform/include -I$root/archivers/include"
objs=""
for f in "$lzh/header_reader.cpp" "$lzh/name_codec.cpp" "$lzh/archive_index.cpp" \
         "$lzh/dos_time.cpp" "$lzh/byte_source.cpp" "$root/archivers/common/write_gate.cc" \
         "$lzh/codec/lzh_crc16.cpp" "$root/platform/src/encoding.cpp"; do
  o="$work/obj/$(basename "$f").o"
  clang++ $flags $inc -c "$f" -o "$o"
  objs="$objs $o"
done
clang++ $flags -fsanitize=fuzzer $inc "$here/lzh_header_fuzz.cc" $objs -o "$work/lzh_header_fuzz"
# Seed with the shared fixtures (headers are what matters: the first 16 KiB of each).
if [ -z "$(ls -A "$work/corpus")" ]; then
  i=0
  for f in "$root"/tests/data/lzh/*/*; do
    [ -f "$f" ] || continue
    head -c 16384 "$f" > "$work/corpus/seed$i"
    i=$((i + 1))
  done
fi
"$work/lzh_header_fuzz" -max_total_time="$secs" -max_len=16384 -rss_limit_mb=1024 "$work/corpus"
