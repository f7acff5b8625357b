#!/bin/bash
# One run of the LZH codec against jlha, gzip, bsdtar and lhasa on the shared corpus, printed
# side by side with the ratios the speed and size goals are stated in. The machine is shared,
# so only ratios from one run compare.
# Usage: bench/lzh_vs_peers.sh [work-folder]   (default /tmp/lzh_vs_peers)
# The codec's bench helper is compiled directly with g++ -O2: no build tree is needed.
# For the smallest -lh5- streams the block format reaches on the same files (minutes per
# file), compile bench/lzh_parse_bound.cc with the codec's sources the same way and run it on
# the corpus; compare with the per-member table printed at the end.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${1:-/tmp/lzh_vs_peers}
mkdir -p "$work"
codec="$root/archivers/lzh/codec"
g++ -std=c++20 -O2 -I"$codec" "$here/lzh_codec_pack.cc" "$codec"/*.cpp -o "$work/lzh_codec_pack"
pack="$work/lzh_codec_pack"

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
t_lh5=$(best "$pack" c "$work/ours5.lzh" -lh5- 0 "${files[@]}")
t_lh7=$(best "$pack" c "$work/ours7.lzh" -lh7- 0 "${files[@]}")
t_lh5b=$(once "$pack" c "$work/ours5b.lzh" -lh5- 9 "${files[@]}")
t_lh7b=$(once "$pack" c "$work/ours7b.lzh" -lh7- 9 "${files[@]}")
(cd "$corpus" && jlha a2o5 "$work/jlha5.lzh" "${files[@]}" > /dev/null 2>&1)
t_gz6=$(best gzip_all 6)
s_ours5=$(stat -c %s "$work/ours5.lzh"); s_ours7=$(stat -c %s "$work/ours7.lzh")
s_ours5b=$(stat -c %s "$work/ours5b.lzh"); s_ours7b=$(stat -c %s "$work/ours7b.lzh")
s_jlha5=$(stat -c %s "$work/jlha5.lzh")
s_gz9=$(gzip_size 9)

# Extraction of jlha's archive: decoding with the CRC check, output discarded, for all tools.
"$pack" t "$work/jlha5.lzh" > /dev/null || { echo "codec fails on jlha's archive"; exit 1; }
x_ours=$(best "$pack" t "$work/jlha5.lzh")
x_bsdtar=$(best bsdtar -xOf "$work/jlha5.lzh")
x_lhasa=$(best lhasa t "$work/jlha5.lzh")
x_ours7=$(best "$pack" t "$work/ours7.lzh")
x_bsdtar7=$(best bsdtar -xOf "$work/ours7.lzh")

row() { printf '%-44s %14s %22s %7s %6s\n' "$@"; }
row "" "Zorvex" "Peer" "Ratio" "Goal"
row "-lh5- size (default level)" "$s_ours5 B" "jlha $s_jlha5 B" "$(ratio "$s_ours5" "$s_jlha5")" "<=0.95"
row "-lh5- size (best level, -9)" "$s_ours5b B" "jlha $s_jlha5 B" "$(ratio "$s_ours5b" "$s_jlha5")" "<=0.95"
row "-lh7- size (default level)" "$s_ours7 B" "gzip -9 $s_gz9 B" "$(ratio "$s_ours7" "$s_gz9")" "<1"
row "-lh7- size (best level, -9)" "$s_ours7b B" "gzip -9 $s_gz9 B" "$(ratio "$s_ours7b" "$s_gz9")" "<1"
row "packing time -lh5- default" "$t_lh5 s" "gzip -6 $t_gz6 s" "$(ratio "$t_lh5" "$t_gz6")" "<=1.0"
row "packing time -lh7- default" "$t_lh7 s" "gzip -6 $t_gz6 s" "$(ratio "$t_lh7" "$t_gz6")" ""
row "packing time -lh5- best" "$t_lh5b s" "gzip -6 $t_gz6 s" "$(ratio "$t_lh5b" "$t_gz6")" ""
row "packing time -lh7- best" "$t_lh7b s" "gzip -6 $t_gz6 s" "$(ratio "$t_lh7b" "$t_gz6")" ""
row "extraction time (jlha's -lh5- archive)" "$x_ours s" "bsdtar $x_bsdtar s" "$(ratio "$x_ours" "$x_bsdtar")" "<=0.5"
row "extraction time (jlha's -lh5- archive)" "$x_ours s" "lhasa $x_lhasa s" "$(ratio "$x_ours" "$x_lhasa")" ""
row "extraction time (our -lh7- archive)" "$x_ours7 s" "bsdtar $x_bsdtar7 s" "$(ratio "$x_ours7" "$x_bsdtar7")" ""

# Per member: where the -lh5- size gap lies. Packed sizes from the archives' listings.
packed() { lhasa v "$1" | awk -v m="$2" '$1 ~ /^\[/ && $NF == m {print $2}'; }
echo
row "-lh5- packed size per member" "default" "best (-9)" "jlha" "-9/jlha"
for f in "${files[@]}"; do
  a=$(packed "$work/ours5.lzh" "$f"); b=$(packed "$work/ours5b.lzh" "$f"); j=$(packed "$work/jlha5.lzh" "$f")
  row "  $f" "$a B" "$b B" "$j B" "$(ratio "$b" "$j")"
done
# The same best level with the 32 KiB window of -lh6-: how much the 8 KiB window costs.
"$pack" c "$work/ours6b.lzh" -lh6- 9 "${files[@]/#/$corpus/}"
s_ours6b=$(stat -c %s "$work/ours6b.lzh")
row "-lh6- size (best level, -9)" "$s_ours6b B" "jlha -lh5- $s_jlha5 B" "$(ratio "$s_ours6b" "$s_jlha5")" ""
