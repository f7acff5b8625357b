#!/bin/sh
# Installs what is missing, builds, and opens the program; arguments go to the program
# (an archive to list at once).
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
exec "./${ZV_BUILD_DIR:-build}/bin/zorvex32" "$@"
