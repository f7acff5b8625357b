#!/bin/sh
# Installs the Debian packages the build and the tests need, only those that are missing.
# Safe to run again: with everything present it does nothing and needs no network.
set -eu
PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libqt6svg6 libzip-dev zlib1g-dev \
libgtest-dev libgmock-dev libbenchmark-dev lhasa jlha-utils p7zip-full libarchive-tools zip unzip \
g++-mingw-w64-x86-64 fonts-ipafont-gothic xvfb xdg-utils liblzma-dev"
PACKAGES="$PACKAGES xauth at-spi2-core dbus python3-pyatspi gir1.2-atspi-2.0 xdotool xclip x11-apps x11-utils"
missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
