#!/usr/bin/env bash
# Cross-builds the chat core and protocol for 64-bit Windows with MinGW-w64
# (no Qt), lanyx-core-check.exe and the unit tests whose code runs on Windows
# (GoogleTest compiled from Debian's sources), and runs them under wine, so
# that the Windows file and platform code is executed, not only compiled. A
# failing test fails the script. Without wine the programs are built and the
# script says that nothing ran.
#   tools/wincross.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-win}
started=$(date +%s)
command -v x86_64-w64-mingw32-g++ >/dev/null || { echo "wincross.sh: MinGW-w64 not installed" >&2; exit 2; }
# Debian's wine starts 64-bit programs through wine64.
RUNNER=$(command -v wine || command -v wine64 || true)
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DLANYX_CORE_ONLY=ON \
  -DBUILD_TESTING=ON -DBUILD_TAVISHFENNIC=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
  ${RUNNER:+-DCMAKE_CROSSCOMPILING_EMULATOR="$RUNNER"} >/dev/null
cmake --build "$BUILD" --target lanyx_core lanyx_net lanyx_transfer lanyx-core-check \
  lanyx_core_tests lanyx_net_tests lanyx_cli_tests lanyx_sharedchat_tests
if [ -z "$RUNNER" ]; then
  echo "wincross.sh: built the programs and tests in $BUILD/bin; no wine here to run them"
  exit 0
fi

# A Windows of its own under the build folder, made afresh on the first run
# (that takes the better part of a minute); no debugging chatter, and no
# offers to install .NET or a browser engine, which nothing here needs.
export WINEPREFIX
WINEPREFIX="$(cd "$BUILD" && pwd)/wine"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Its server ends with the script rather than lingering for a few seconds.
trap 'wineserver -k 2>/dev/null || true' EXIT
"$RUNNER" wineboot --init >/dev/null 2>&1
# One server for the whole run: two test programs started at once would
# otherwise race to start it, and the loser ends before its first test.
wineserver -k 2>/dev/null || true
wineserver -p
"$RUNNER" "$BUILD/bin/lanyx-core-check.exe" resources/chat/Lang.con
ctest --test-dir "$BUILD" --output-on-failure --timeout 300 -j2
echo "wincross.sh: $(( $(date +%s) - started )) s"
