#!/bin/sh
# Installs what is missing, builds, and runs every test; exits non-zero when any stage fails.
# Stages, each timed:
#   build       the program and the tests, in build/
#   tests       the whole suite
#   sanitize    the same suite built with AddressSanitizer and UBSan in build-sanitize/
#               (built while the plain tests run; any report fails the test it came from)
#   fuzz        each libFuzzer target built with clang in build-fuzz/, run for ZV_FUZZ_SECONDS
#   format      every C and C++ file as .clang-format makes it
# Extra arguments go to the configure step of build/. ZV_TEST_JOBS sets ctest's parallelism.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR="${ZV_BUILD_DIR:-build}"
JOBS="${ZV_TEST_JOBS:-2}"
# The Qt tests draw without a screen.
export QT_QPA_PLATFORM=offscreen

elapsed() { echo "== $1: $(($(date +%s) - $2)) s"; }
t0=$(date +%s)

t=$(date +%s)
./scripts/build.sh "$@"
elapsed build "$t"

t=$(date +%s)
mkdir -p build-sanitize
( ZV_BUILD_DIR=build-sanitize ./scripts/build.sh -DZV_SANITIZE=ON -DZV_WERROR=OFF >build-sanitize/build.log 2>&1 ) &
sanitize_build=$!
tests_ok=0
ctest --test-dir "$BUILD_DIR" --output-on-failure --no-tests=error -j "$JOBS" || tests_ok=$?
elapsed tests "$t"
sanitize_ok=0
wait "$sanitize_build" || sanitize_ok=$?
elapsed "sanitize build (alongside the tests)" "$t"
if [ "$sanitize_ok" -ne 0 ]; then
  tail -n 40 build-sanitize/build.log
else
  t=$(date +%s)
  # The end-to-end scenarios drive the real program through the window system; they run once,
  # on the plain build.
  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j "$JOBS" -LE e2e ||
    sanitize_ok=$?
  elapsed "sanitize tests" "$t"
fi

t=$(date +%s)
fuzz_ok=0
if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZV_FUZZ=ON -DZV_BUILD_QT=OFF \
    -DZV_BUILD_TESTS=OFF -DZV_WERROR=OFF >/dev/null || fuzz_ok=$?
fi
[ "$fuzz_ok" -ne 0 ] || cmake --build build-fuzz --target fuzz_targets || fuzz_ok=$?
# Two targets at a time: libFuzzer uses one core each.
[ "$fuzz_ok" -ne 0 ] || ctest --test-dir build-fuzz --output-on-failure --no-tests=error -L fuzz -j 2 ||
  fuzz_ok=$?
elapsed fuzz "$t"

format_ok=0
./scripts/check_format.sh || format_ok=$?
elapsed total "$t0"

status=0
for stage in "tests:$tests_ok" "sanitize:$sanitize_ok" "fuzz:$fuzz_ok" "format:$format_ok"; do
  [ "${stage#*:}" -eq 0 ] || { echo "FAILED: ${stage%%:*}"; status=1; }
done
exit "$status"
