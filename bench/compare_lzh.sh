#!/bin/bash
# Whole-archive comparison of the LZH codec with jlha, gzip, lhasa and bsdtar.
# Usage: bench/compare_lzh.sh [corpus-folder]
# Without a folder a corpus is assembled in $WORK (text, a binary, random bytes). The codec's
# bench helper is compiled directly with g++ -O2, so the script works without a build tree.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${WORK:-/tmp/lzh_compare}
mkdir -p "$work"
codec="$root/archivers/lzh/codec"

g++ -std=c++20 -O2 -I"$codec" "$here/lzh_codec_pack.cc" "$codec"/*.cpp -o "$work/lzh_codec_pack"
pack="$work/lzh_codec_pack"

corpus=${1:-$work/corpus}
if [ -z "$1" ] && [ ! -d "$corpus" ]; then
  mkdir -p "$corpus"
  cat /usr/include/*.h 2>/dev/null | head -c 3000000 > "$corpus/text.txt"
  cp /usr/bin/bash "$corpus/bash.bin"
  head -c 1000000 /dev/urandom > "$corpus/random.bin"
fi
files=("$corpus"/*)
total=$(cat "${files[@]}" | wc -c)
echo "corpus: $corpus, ${#files[@]} files, $total bytes"

# Prints seconds of wall time for a command.
seconds() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@" > /dev/null 2>&1
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc
}

row() { printf '%-28s %12s %8s %9s\n' "$1" "$2" "$3" "$4"; }
ratio() { echo "scale=2; 100 * $1 / $total" | bc; }

row "compress" "bytes" "ratio%" "seconds"
for m in 5 6 7; do
  rm -f "$work/ours$m.lzh"
  s=$(seconds "$pack" c "$work/ours$m.lzh" -lh$m- 0 "${files[@]}")
  b=$(stat -c %s "$work/ours$m.lzh")
  row "codec -lh$m-" "$b" "$(ratio "$b")" "$s"
done
if command -v jlha > /dev/null; then
  for m in 5 7; do
    rm -f "$work/jlha$m.lzh"
    (cd "$corpus" && s=$(seconds jlha a2o$m "$work/jlha$m.lzh" "${files[@]##*/}") && echo "$s" > "$work/jlha$m.time")
    b=$(stat -c %s "$work/jlha$m.lzh")
    row "jlha -lh$m-" "$b" "$(ratio "$b")" "$(cat "$work/jlha$m.time")"
  done
fi
for level in 6 9; do
  t0=$(date +%s.%N)
  b=0
  for f in "${files[@]}"; do b=$((b + $(gzip -$level -c "$f" | wc -c))); done
  t1=$(date +%s.%N)
  row "gzip -$level" "$b" "$(ratio "$b")" "$(echo "$t1 - $t0" | bc)"
done

echo
row "test / extract" "" "" "seconds"
for m in 5 7; do
  row "codec t ours -lh$m-" "" "" "$(seconds "$pack" t "$work/ours$m.lzh")"
  command -v lhasa > /dev/null && row "lhasa t ours -lh$m-" "" "" "$(seconds lhasa t "$work/ours$m.lzh")"
  command -v bsdtar > /dev/null && row "bsdtar -xO ours -lh$m-" "" "" "$(seconds bsdtar -xOf "$work/ours$m.lzh")"
  if [ -f "$work/jlha$m.lzh" ]; then
    row "codec t jlha -lh$m-" "" "" "$(seconds "$pack" t "$work/jlha$m.lzh")"
    command -v lhasa > /dev/null && row "lhasa t jlha -lh$m-" "" "" "$(seconds lhasa t "$work/jlha$m.lzh")"
    row "jlha t jlha -lh$m-" "" "" "$(seconds jlha t "$work/jlha$m.lzh")"
  fi
done
t0=$(date +%s.%N)
for f in "${files[@]}"; do gzip -6 -c "$f" | gzip -dc > /dev/null; done
t1=$(date +%s.%N)
row "gzip -6 | gzip -d (both)" "" "" "$(echo "$t1 - $t0" | bc)"
