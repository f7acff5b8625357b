#!/bin/sh
# Fails when a tracked C or C++ file differs from what .clang-format makes of it.
set -eu
cd "$(dirname "$0")/.."
git ls-files -z '*.c' '*.cc' '*.cpp' '*.h' ':!tests/data/*' | xargs -0 clang-format --dry-run -Werror
