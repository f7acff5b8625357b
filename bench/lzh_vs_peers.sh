#!/bin/bash
# One run of the LZH codec against jlha, gzip, bsdtar and lhasa on the shared corpus, printed
# side by side with the ratios the speed and size goals are stated in. The machine is shared,
# so only ratios from one run compare.
# Usage: [BEFORE=git-revision] bench/lzh_vs_peers.sh [work-folder]   (default /tmp/lzh_vs_peers)
# The codec's bench helper is compiled directly with g++ -O2: no build tree is needed. With
# BEFORE, the codec of that revision is compiled too and measured in the same run, its
# figures in a column of their own.
# For the smallest -lh5- streams the block format reaches on the same files (minutes per
# file), compile bench/lzh_parse_bound.cc with the codec's sources the same way and run it on
# the corpus; compare with the per-member table printed at the end. BOUND=<total bytes> (the
# sum of its figures) adds the default level's size against it to the table.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${1:-/tmp/lzh_vs_peers}
mkdir -p "$work"
codec="$root/archivers/lzh/codec"
g++ -std=c++20 -O2 -I"$codec" "$here/lzh_codec_pack.cc" "$codec"/*.cpp -o "$work/lzh_codec_pack"
pack="$work/lzh_codec_pack"
before=${BEFORE:-}
if [ -n "$before" ]; then
  old="$work/before-src"
  rm -rf "$old" && mkdir -p "$old"
  git -C "$root" archive "$before" archivers/lzh/codec bench/lzh_codec_pack.cc | tar -x -C "$old"
  g++ -std=c++20 -O2 -I"$old/archivers/lzh/codec" "$old/bench/lzh_codec_pack.cc" \
    "$old"/archivers/lzh/codec/*.cpp -o "$work/lzh_codec_pack_before"
fi

corpus="$work/corpus"
[ -f "$corpus/libstdcxx.bin" ] || sh "$here/lzh_corpus.sh" "$corpus" > /dev/null
files=(headers.txt licenses.txt cmake.bin libstdcxx.bin)
total=$(cd "$corpus" && cat "${files[@]}" | wc -c)
echo "corpus: $total bytes in ${#files[@]} files"

# Best of three CPU seconds (user + system) of a command run in the corpus folder. CPU time,
# not wall time: with several people on two cores, wall time mostly measures the queue.
best() {
  local b="" s
  for _ in 1 2 3; do
    s=$( { TIMEFORMAT='%U %S'; time { (cd "$corpus" && "$@") > /dev/null 2>&1; }; } 2>&1 | awk '{printf "%.3f", $1 + $2}')
    if [ -z "$b" ] || [ "$(echo "$s < $b" | bc)" = 1 ]; then b=$s; fi
  done
  echo "$b"
}
# The same once, for the slow best levels.
once() {
  { TIMEFORMAT='%U %S'; time { (cd "$corpus" && "$@") > /dev/null 2>&1; }; } 2>&1 | awk '{printf "%.3f", $1 + $2}'
}
gzip_all() { for f in "${files[@]}"; do gzip "-$1" -c "$f"; done; }
gzip_size() { (cd "$corpus" && gzip_all "$1" | wc -c); }
ratio() { printf '%.3f' "$(echo "scale=4; $1 / $2" | bc)"; }

rm -f "$work"/*.lzh
# Our figures with one build of the codec: sizes, packing and extraction times into R[tag.*].
declare -A R
measure() {
  local p=$1 tag=$2
  R[$tag.t5]=$(best "$p" c "$work/${tag}5.lzh" -lh5- 0 "${files[@]}")
  R[$tag.t7]=$(best "$p" c "$work/${tag}7.lzh" -lh7- 0 "${files[@]}")
  R[$tag.t5b]=$(once "$p" c "$work/${tag}5b.lzh" -lh5- 9 "${files[@]}")
  R[$tag.t7b]=$(once "$p" c "$work/${tag}7b.lzh" -lh7- 9 "${files[@]}")
  local k
  for k in 5 7 5b 7b; do R[$tag.s$k]=$(stat -c %s "$work/$tag$k.lzh"); done
  "$p" t "$work/jlha5.lzh" > /dev/null || { echo "codec ($tag) fails on jlha's archive"; exit 1; }
  R[$tag.x]=$(best "$p" t "$work/jlha5.lzh")
  R[$tag.x7]=$(best "$p" t "$work/${tag}7.lzh")
}
(cd "$corpus" && jlha a2o5 "$work/jlha5.lzh" "${files[@]}" > /dev/null 2>&1)
measure "$pack" ours
[ -z "$before" ] || measure "$work/lzh_codec_pack_before" before
t_gz6=$(best gzip_all 6)
s_jlha5=$(stat -c %s "$work/jlha5.lzh")
s_gz9=$(gzip_size 9)
# Extraction of jlha's archive: decoding with the CRC check, output discarded, for all tools.
x_bsdtar=$(best bsdtar -xOf "$work/jlha5.lzh")
x_lhasa=$(best lhasa t "$work/jlha5.lzh")
x_bsdtar7=$(best bsdtar -xOf "$work/ours7.lzh")

# A figure of ours against a peer's, with the before build's in front when there is one.
row() { printf '%-40s %-34s %-20s %s\n' "$@"; }
cmp() {
  local key=$1 unit=$2 peer=$3 out="" tag
  for tag in ${before:+before} ours; do
    out+="${R[$tag.$key]}$unit ($(ratio "${R[$tag.$key]}" "$peer")) "
  done
  echo "$out"
}
row "" "${before:+before (ratio) -> }Zorvex (ratio)" "Peer" "Goal"
row "-lh5- size (default level)" "$(cmp s5 ' B' "$s_jlha5")" "jlha $s_jlha5 B" "<=0.95"
[ -z "${BOUND:-}" ] || row "-lh5- size (default level)" "$(cmp s5 ' B' "$BOUND")" "parse bound $BOUND B" "<=1.01"
row "-lh5- size (best level, -9)" "$(cmp s5b ' B' "$s_jlha5")" "jlha $s_jlha5 B" "<=0.95"
row "-lh7- size (default level)" "$(cmp s7 ' B' "$s_gz9")" "gzip -9 $s_gz9 B" "<1"
row "-lh7- size (best level, -9)" "$(cmp s7b ' B' "$s_gz9")" "gzip -9 $s_gz9 B" "<1"
row "packing time -lh5- default" "$(cmp t5 ' s' "$t_gz6")" "gzip -6 $t_gz6 s" "<=1.0"
row "packing time -lh7- default" "$(cmp t7 ' s' "$t_gz6")" "gzip -6 $t_gz6 s" "<=1.0"
row "packing time -lh5- best" "$(cmp t5b ' s' "$t_gz6")" "gzip -6 $t_gz6 s" ""
row "packing time -lh7- best" "$(cmp t7b ' s' "$t_gz6")" "gzip -6 $t_gz6 s" ""
row "extraction (jlha's -lh5- archive)" "$(cmp x ' s' "$x_bsdtar")" "bsdtar $x_bsdtar s" "<=0.35"
row "extraction (jlha's -lh5- archive)" "$(cmp x ' s' "$x_lhasa")" "lhasa $x_lhasa s" ""
row "extraction (our -lh7- archive)" "$(cmp x7 ' s' "$x_bsdtar7")" "bsdtar $x_bsdtar7 s" ""

# Per member: where the -lh5- size gap lies. Packed sizes from the archives' listings.
packed() { lhasa v "$1" | awk -v m="$2" '$1 ~ /^\[/ && $NF == m {print $2}'; }
row5() { printf '%-40s %14s %14s %14s %14s %8s\n' "$@"; }
echo
row5 "-lh5- packed size per member" "default" "${before:+before -9}" "best (-9)" "jlha" "-9/jlha"
for f in "${files[@]}"; do
  a=$(packed "$work/ours5.lzh" "$f"); b=$(packed "$work/ours5b.lzh" "$f"); j=$(packed "$work/jlha5.lzh" "$f")
  o=""; [ -z "$before" ] || o="$(packed "$work/before5b.lzh" "$f") B"
  row5 "  $f" "$a B" "$o" "$b B" "$j B" "$(ratio "$b" "$j")"
done
# The same best level with the 32 KiB window of -lh6-: how much the 8 KiB window costs.
"$pack" c "$work/ours6b.lzh" -lh6- 9 "${files[@]/#/$corpus/}" > /dev/null
s_ours6b=$(stat -c %s "$work/ours6b.lzh")
row "-lh6- size (best level, -9)" "$s_ours6b B ($(ratio "$s_ours6b" "$s_jlha5"))" "jlha -lh5- $s_jlha5 B" ""
