#!/bin/sh
# Installs what is missing, builds, and runs every test; exits non-zero when any test fails.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh "$@"
BUILD_DIR="${ZV_BUILD_DIR:-build}"
# The Qt tests draw without a screen.
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure --no-tests=error -j "${ZV_TEST_JOBS:-1}"
