#!/bin/sh
# Makes the Debian package from a build tree with cpack and checks with dpkg-deb that it holds
# the program, its libraries, the companions, the help, the desktop entry and the MIME types,
# nothing outside /usr, and names the packages it needs at run time.
#   check_deb.sh BUILD_DIR WORK_DIR
set -eu
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
deb=$(ls "$work"/*.deb)
files=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
failed=0
for f in bin/zorvex32 bin/zlha bin/zunzip bin/zish \
  lib/zorvex32/libzv_platform.so lib/zorvex32/SYSTEM/UNLHA32.DLL \
  lib/zorvex32/SYSTEM/UNZIP32.DLL lib/zorvex32/SYSTEM/ISH32.DLL \
  share/zorvex32/ZORVEX.HLP/index.html share/zorvex32/art/menu_icon.svg \
  share/applications/zorvex32.desktop share/mime/packages/zorvex32-ish.xml \
  share/icons/hicolor/scalable/apps/zorvex32.svg share/doc/zorvex32/copyright; do
  if ! echo "$files" | grep -qx "\./usr/$f"; then
    echo "not in the package: /usr/$f"
    failed=1
  fi
done
if echo "$files" | grep -v '/$' | grep -v '^\./usr/'; then
  echo "files outside /usr (above)"
  failed=1
fi
if echo "$files" | grep -E '^\./usr/bin/.' | grep -vxE '\./usr/bin/(zorvex32|zlha|zunzip|zish)'; then
  echo "programs that are not the program or a companion (above)"
  failed=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
# One package name a line, versions and alternatives apart.
names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')
for p in libc6 libstdc++6 libqt6widgets6 libqt6svg6 zlib1g liblzma5 libzip4 qt6-qpa-plugins \
  fonts-ipafont-gothic; do
  if ! echo "$names" | grep -qxF "$p"; then
    echo "not among the dependencies: $p"
    failed=1
  fi
done
# Unpacked anywhere, a companion finds its libraries in the package's own folders.
dpkg-deb -x "$deb" "$work/root"
echo hello >"$work/a.txt"
if ! { "$work/root/usr/bin/zlha" a -n1 "$work/a.lzh" "$work/a.txt" &&
  "$work/root/usr/bin/zlha" t "$work/a.lzh"; } >"$work/zlha.log" 2>&1; then
  cat "$work/zlha.log"
  echo "zlha from the package does not work"
  failed=1
fi
[ "$failed" -eq 0 ] || { echo "Depends: $depends"; exit 1; }
echo "$(basename "$deb"): $(echo "$files" | grep -vc '/$') files; Depends: $depends"
