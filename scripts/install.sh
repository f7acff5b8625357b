#!/bin/sh
# Builds (installing what is missing) and installs the program, its libraries and the
# command-line companions zlha, zunzip and zish.
#   ./scripts/install.sh                      -> ~/.local (no root needed)
#   PREFIX=/opt/zorvex32 ./scripts/install.sh -> asks sudo only for the copying step
#   sudo ./scripts/install.sh                 -> /usr/local; the build stays the user's
# Nothing in build/ ends up owned by root, so later builds and installs by the user work.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${ZV_BUILD_DIR:-build}"
AS_USER=""
if [ "$(id -u)" -eq 0 ]; then
  PREFIX="${PREFIX:-/usr/local}"
  # Under sudo, build as the user who asked, so the build folder stays theirs.
  if [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    ./scripts/setup.sh
    AS_USER="sudo -u $SUDO_USER"
  fi
else
  PREFIX="${PREFIX:-$HOME/.local}"
fi
$AS_USER env ZV_BUILD_DIR="$BUILD_DIR" ./scripts/build.sh

SUDO=""
probe="$PREFIX"
while [ ! -d "$probe" ]; do probe=$(dirname "$probe"); done
[ "$(id -u)" -eq 0 ] || [ -w "$probe" ] || SUDO="sudo"
$SUDO cmake --install "$BUILD_DIR" --prefix "$PREFIX"
# cmake writes its list of installed files into the build folder: give it to the folder's
# owner, whoever installed.
owner=$(stat -c %u:%g "$BUILD_DIR")
[ "$(stat -c %u:%g "$BUILD_DIR/install_manifest.txt")" = "$owner" ] ||
  $SUDO chown "$owner" "$BUILD_DIR/install_manifest.txt"
echo "Installed under $PREFIX: start $PREFIX/bin/zorvex32"
