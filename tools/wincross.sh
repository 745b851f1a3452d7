#!/usr/bin/env bash
# Cross-builds the chat core and protocol for 64-bit Windows with MinGW-w64
# (no Qt), and lanyx-core-check.exe, which links them. Runs the check when a
# runner is at hand (wine).
#   tools/wincross.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-win}
command -v x86_64-w64-mingw32-g++ >/dev/null || { echo "wincross.sh: MinGW-w64 not installed" >&2; exit 2; }
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DLANYX_CORE_ONLY=ON \
  -DBUILD_TESTING=OFF -DBUILD_TAVISHFENNIC=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$BUILD" --target lanyx_core lanyx_net lanyx_transfer lanyx-core-check
RUNNER=$(command -v wine64 || command -v wine || true)
if [ -n "$RUNNER" ]; then
  WINEDEBUG=-all "$RUNNER" "$BUILD/bin/lanyx-core-check.exe" resources/chat/Lang.con
else
  echo "wincross.sh: built $BUILD/bin/lanyx-core-check.exe; no wine here to run it"
fi
