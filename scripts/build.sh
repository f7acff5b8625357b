#!/bin/sh
# Installs what is missing, then configures and builds everything into build/ with Ninja.
# Extra arguments go to the configure step (e.g. -DZV_SANITIZE=ON).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR="${ZV_BUILD_DIR:-build}"
if [ ! -f "$BUILD_DIR/build.ninja" ] || [ "$#" -gt 0 ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja "$@"
fi
if [ -n "${ZV_JOBS:-}" ]; then
  cmake --build "$BUILD_DIR" -j "$ZV_JOBS"
else
  cmake --build "$BUILD_DIR"
fi
