#!/bin/sh
# Fails when a tracked C or C++ file differs from what .clang-format makes of it.
set -eu
cd "$(dirname "$0")/.."
git ls-files -z '*.c' '*.cc' '*.cpp' '*.h' ':!tests/data/*' | xargs -0 clang-format --dry-run -Werror

# A window reaches another window through its typed port (ui/common/window_ports.h), and a
# helper gets typed values: no production code looks a control up through another object.
if git grep -nE '(->|[]A-Za-z0-9_)]\.)c\("' -- app ui compress extract fileutil auxwin core qt; then
  echo "control looked up through another object: use the window's port or a typed value" >&2
  exit 1
fi
