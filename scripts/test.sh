#!/usr/bin/env bash
# Builds everything and runs every test (unit, library over the emulator, end to end).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
cd "$BUILD" && ctest --output-on-failure -j"$(nproc)" --timeout 600
