#!/bin/sh
# ZIP extraction benchmarks of UNZIP32.DLL (figures, not tests):
#  1. a ~50 MB archive of mixed files: zunzip against Info-ZIP unzip and bsdtar;
#  2. 2000 members of a 10000-member archive, one UnZip call each, against one call for all.
# Usage: bench/zip_bench.sh BUILD_DIR   (needs the zunzip tool and UNZIP32.DLL built there)
set -e
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=${WORK:-/tmp/zv_zip_bench}
rm -rf "$work"; mkdir -p "$work/src"
cd "$work/src"
# Mixed corpus: text-like, random (incompressible) and sparse files.
python3 - <<'PY'
import os, random
random.seed(1)
words = [b"archive", b"member", b"folder", b"\xe6\x97\xa5\xe6\x9c\xac", b"data", b"line", b"zorvex"]
for i in range(40):
    os.makedirs(f"d{i%5}", exist_ok=True)
    with open(f"d{i%5}/text{i}.txt", "wb") as f:
        f.write(b" ".join(random.choice(words) for _ in range(90000)))
for i in range(10):
    with open(f"rand{i}.bin", "wb") as f: f.write(os.urandom(2_000_000))
with open("zeros.img", "wb") as f: f.write(bytes(8_000_000))
PY
zip -q -r ../mixed.zip .
cd "$work"
ls -l mixed.zip | awk '{print "archive bytes:", $5}'
du -sb src | awk '{print "content bytes:", $1}'
t() { start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); echo "$end - $start" | bc; }
for round in 1 2; do
  rm -rf o1 o2 o3; mkdir o2 o3
  a=$(t "$build/bin/zunzip" -x -o "$work/mixed.zip" "$work/o1/")
  b=$(t unzip -q -o mixed.zip -d o2)
  c=$(t bsdtar -xf mixed.zip -C o3)
  echo "round $round: zunzip $a s, unzip $b s, bsdtar $c s"
done
diff -r o1 o2 && echo "zunzip output identical to unzip's"

mkdir -p many && cd many
python3 -c "
import os
for i in range(10000):
    d = f'f{i//500:02d}'
    os.makedirs(d, exist_ok=True)
    open(f'{d}/m{i:05d}.txt','w').write('member %d\n' % i * 20)
"
zip -q -r ../many.zip . && cd ..
g++ -O2 -std=c++20 -I"$here/../archivers/include" "$here/unzip_calls_bench.cc" -ldl -o calls_bench
./calls_bench "$build/SYSTEM/UNZIP32.DLL" "$work/many.zip" "$work/many-out" 5
