#!/bin/sh
# Configures and builds into the folder given (default build/).
set -e
BUILD_DIR="${1:-build}"
shift || true
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$BUILD_DIR.configure.log" 2>&1 \
    || { cat "$BUILD_DIR.configure.log"; exit 1; }
cmake --build "$BUILD_DIR" -j "$(nproc)"
