#!/usr/bin/env bash
# Builds the library and the emulator, then runs the demo against the built-in emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target norvex norvex-emu norvex-demo
"$BUILD/demo/norvex-demo" "$@"
