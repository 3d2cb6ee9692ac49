#!/bin/sh
# Installs what is missing, builds and runs every test headless.
#   ./test.sh              all tests in build/
#   ./test.sh --sanitize   the same under AddressSanitizer and UBSan, in build-sanitize/
#   ./test.sh -R name      extra arguments go to ctest
set -e
cd "$(dirname "$0")"
./scripts/setup.sh
BUILD_DIR=build
CMAKE_ARGS=""
if [ "$1" = "--sanitize" ]; then
    shift
    BUILD_DIR=build-sanitize
    CMAKE_ARGS="-DZANDOR_SANITIZE=ON"
    export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
./scripts/build.sh "$BUILD_DIR" $CMAKE_ARGS
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" "$@"
