#!/bin/bash
# The windows' roads at 1,000, 10,000 and 100,000 members: extracting every member of an LZH
# archive through the extraction window (one library call per member, with its overwrite
# checks) and creating an archive of every file of a folder through the creation window (one
# call per file), beside one `zlha x` / `zlha a` call and lhasa, with each goal, from one run.
# Also the peak memory of extracting and testing everything against a one-member archive.
# Usage: bench/window_roads.sh BUILD_DIR [work-folder]     (default /dev/shm/zv_window_roads)
#   SIZES="1000 10000 100000"  member counts
#   BEFORE=DIR   also runs an older UNLHA32.DLL and zlha copied into DIR, in rows of their own
#                (the window classes are this build's: only the library is the older one)
#   BEFORE_SIZES="1000 10000"  the sizes the older library runs (its window road grew with
#                the folder: 100,000 takes too long)
#   RUNS=N       runs per figure, the one with the least CPU time counts (default 2)
# Figures are CPU seconds (user + system): the machine is shared, so wall time says little.
# The work folder should be memory-backed (tmpfs) so that no disk decides.
set -eu
build=$(cd "${1:?build folder}" && pwd)
work=${2:-/dev/shm/zv_window_roads}
here=$(cd "$(dirname "$0")" && pwd)
sizes=${SIZES:-1000 10000 100000}
runs=${RUNS:-2}
before=${BEFORE:-}
before_sizes=${BEFORE_SIZES:-1000 10000}
mkdir -p "$work"
work=$(cd "$work" && pwd)
cd "$work"

# One folder of N small text files per size.
for n in $sizes; do
  [ -f "src$n/f$((n - 1)).txt" ] && continue
  python3 - "$n" <<'PY'
import os, sys
n = int(sys.argv[1])
os.makedirs(f'src{n}', exist_ok=True)
for i in range(n):
    with open(f'src{n}/f{i}.txt', 'w') as f:
        f.write(f'file {i} of the window road\n' * (1 + i % 7))
PY
done
mkdir -p one && echo "the only member" > one/only.txt

# Runs a command `runs` times; prints "cpu rss" of the run with the least CPU time (s, KB).
measure() {
  local best="" line
  for _ in $(seq "$runs"); do
    /usr/bin/time -o "$work/.time" -f '%U %S %M' "$@" > /dev/null 2>&1
    line=$(tail -1 "$work/.time" | awk '{printf "%.3f %d", $1 + $2, $3}')
    if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN{split(a,x," ");split(b,y," ");exit !(x[1]<y[1])}'; then
      best=$line
    fi
  done
  echo "$best"
}
# The window bench, best of `runs`: prints "extract_cpu extract_per_call create_cpu create_per_call".
window_road() {
  local system=$1 n=$2 best="" out e c
  for _ in $(seq "$runs"); do
    rm -rf "x$n" "c$n.lzh"
    # A road that fails is said, not shown as a missing figure.
    out=$("$build/bin/window_roads_bench" "$system" "$work" "$n") || {
      echo "window_roads_bench $n failed" >&2
      exit 1
    }
    e=$(echo "$out" | awk '/^window-extract/{print $7, $12}')
    c=$(echo "$out" | awk '/^window-create/{print $7, $12}')
    line="$e $c"
    if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN{split(a,x," ");split(b,y," ");exit !(x[1]+x[3]<y[1]+y[3])}'; then
      best=$line
    fi
  done
  echo "$best"
}

systems=("$build/SYSTEM")
zlhas=("$build/bin/zlha")
labels=(now)
if [ -n "$before" ]; then
  before=$(cd "$before" && pwd)
  mkdir -p "$before/SYSTEM"
  [ -f "$before/SYSTEM/UNLHA32.DLL" ] || cp "$before/UNLHA32.DLL" "$before/SYSTEM/"
  systems+=("$before/SYSTEM")
  zlhas+=("$before/zlha")
  labels+=(before)
fi

printf '%-8s %-7s %-28s %10s %12s %10s %12s\n' size build figure "cpu s" "per call ms" peer goal
for n in $sizes; do
  rm -f "w$n.lzh"
  (cd "src$n" && ZV_UNLHA32="$build/SYSTEM/UNLHA32.DLL" "$build/bin/zlha" a -n1 "../w$n.lzh" '*.*' > /dev/null)
  rm -rf lx && mkdir lx
  lhasa_x=$(cd lx && measure lhasa xq "$work/w$n.lzh" | cut -d' ' -f1)
  for k in "${!systems[@]}"; do
    sys=${systems[$k]} zl=${zlhas[$k]} label=${labels[$k]}
    [ "$label" = before ] && ! [[ " $before_sizes " == *" $n "* ]] && continue
    export ZV_UNLHA32="$sys/UNLHA32.DLL"
    rm -rf zx && mkdir zx
    zx=$(cd zx && measure "$zl" x -n1 "../w$n.lzh" | cut -d' ' -f1)
    rm -f za.lzh
    za=$(cd "src$n" && measure sh -c "rm -f ../za.lzh && '$zl' a -n1 ../za.lzh '*.*'" | cut -d' ' -f1)
    read -r ex ex_call cr cr_call <<< "$(window_road "$sys" "$n")"
    goal_x=$(awk -v a="$zx" -v b="$lhasa_x" 'BEGIN{g=2*a; if (b<g) g=b; printf "%.3f", g}')
    goal_a=$(awk -v a="$za" 'BEGIN{printf "%.3f", 2*a}')
    printf '%-8s %-7s %-28s %10s %12s %10s %12s\n' "$n" "$label" "zlha x (one call)" "$zx" - "$lhasa_x" -
    printf '%-8s %-7s %-28s %10s %12s %10s %12s\n' "$n" "$label" "window extraction" "$ex" "$ex_call" "$lhasa_x" "<= $goal_x"
    printf '%-8s %-7s %-28s %10s %12s %10s %12s\n' "$n" "$label" "zlha a (one call)" "$za" - - -
    printf '%-8s %-7s %-28s %10s %12s %10s %12s\n' "$n" "$label" "window creation" "$cr" "$cr_call" - "<= $goal_a"
  done
done

# Peak memory of extracting and testing everything, against a one-member archive: zlha (its
# 64 MB output buffer holds one line per member) and one call with the windows' 1 KB buffer.
big=$(echo "$sizes" | awk '{print $NF}')
rm -f one.lzh && (cd one && ZV_UNLHA32="$build/SYSTEM/UNLHA32.DLL" "$build/bin/zlha" a -n1 ../one.lzh only.txt > /dev/null)
g++ -O2 -std=c++20 -I"$here/../archivers/include" "$here/unlha_call.cc" -ldl -o unlha_call
printf '\n%-8s %-7s %-28s %10s %10s %12s\n' members build figure "peak KB" lhasa goal
for k in "${!systems[@]}"; do
  sys=${systems[$k]} zl=${zlhas[$k]} label=${labels[$k]}
  export ZV_UNLHA32="$sys/UNLHA32.DLL"
  for verb in x t; do
    lflag=$([ "$verb" = x ] && echo xq || echo tq)
    rm -rf mx && mkdir mx
    lh=$(cd mx && measure lhasa "$lflag" "$work/w$big.lzh" | cut -d' ' -f2)
    for how in zlha "1 KB buffer"; do
      for arc in one "w$big"; do
        rm -rf mx && mkdir mx
        if [ "$how" = zlha ]; then
          kb=$(cd mx && measure "$zl" "$verb" -n1 "../$arc.lzh" | cut -d' ' -f2)
        else
          kb=$(cd mx && measure ../unlha_call "$sys/UNLHA32.DLL" 1024 "$verb -n1 ../$arc.lzh" | cut -d' ' -f2)
        fi
        if [ "$arc" = one ]; then
          one=$kb
          printf '%-8s %-7s %-28s %10s %10s %12s\n' 1 "$label" "$how $verb" "$kb" - -
        else
          printf '%-8s %-7s %-28s %10s %10s %12s\n' "$big" "$label" "$how $verb" "$kb" "$lh" "<= $((one + 1024))"
        fi
      done
    done
  done
done
rm -rf mx zx lx
