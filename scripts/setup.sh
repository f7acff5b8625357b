#!/bin/sh
# Installs the Debian packages the build and the tests need, only those that are missing.
# Safe to run again: with everything present it does nothing and needs no network.
set -eu
# xauth: xvfb-run needs it but xvfb only recommends it. clang and libclang-rt-14-dev build the
# fuzz targets; clang-format checks the layout of the code; default-jdk-headless runs the second
# LZH implementation the codec tests compare against; qt6-wayland lets the program run natively
# on a Wayland desktop; dpkg-dev and file let cpack name the run-time dependencies of the Debian
# package.
PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libqt6svg6 libzip-dev zlib1g-dev \
libgtest-dev libgmock-dev libbenchmark-dev lhasa jlha-utils p7zip-full libarchive-tools zip unzip \
g++-mingw-w64-x86-64 fonts-ipafont-gothic xvfb xauth xdg-utils liblzma-dev \
clang libclang-rt-14-dev clang-format default-jdk-headless qt6-wayland dpkg-dev file"
# The end-to-end tests: a virtual screen, the accessibility bus and its Python client, and a pointer.
PACKAGES="$PACKAGES at-spi2-core dbus python3-pyatspi gir1.2-atspi-2.0 xdotool xclip x11-apps x11-utils"
missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
# sudo resets the environment, so the front end is passed on the command line.
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
