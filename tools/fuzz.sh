#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) in their own build folder and runs each for SECONDS.
#   tools/fuzz.sh SECONDS [BUILD_DIR]
# Corpora grow in BUILD_DIR/corpus-*; a crash leaves BUILD_DIR/crash-* and
# makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:?usage: tools/fuzz.sh SECONDS [BUILD_DIR]}
BUILD=${2:-build-fuzz}
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ not found" >&2; exit 2; }

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DLANYX_FUZZ=ON -DLANYX_CORE_ONLY=ON \
  -DBUILD_TESTING=OFF -DBUILD_TAVISHFENNIC=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target fuzz_dispatch fuzz_settings fuzz_language

# Seeds: what the program really reads.
mkdir -p "$BUILD"/corpus-dispatch "$BUILD"/corpus-settings "$BUILD"/corpus-language
cp resources/chat/Lang.con "$BUILD"/corpus-language/shipped
printf '"English"\r\n0\r\n0,0,2505,4605\r\n"ann",255,4,"(B)",0\r\n0,0,2500,3800\r\n2\r\n"bob"\r\n"Carl"\r\n1\r\n"team|ann|bob|"\r\n' \
  > "$BUILD"/corpus-settings/user.ini
i=0
for d in 'bob|C/255' 'bob|S/1' 'bob|M/\xdehello' 'bob|P/\xdfhi|ann' 'bob|L/' '_bob|C/0' 'bob|B/box' 'Ann|M/' 'bob|S/7'; do
  printf "$d" > "$BUILD/corpus-dispatch/seed$i"; i=$((i + 1))
done

status=0
for t in dispatch settings language; do
  echo "== fuzz_$t for ${SECONDS_EACH}s"
  if ! "$BUILD/bin/fuzz_$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 -artifact_prefix="$BUILD/" \
      "$BUILD/corpus-$t" 2> "$BUILD/fuzz_$t.log"; then
    status=1
    tail -40 "$BUILD/fuzz_$t.log" >&2
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$BUILD/fuzz_$t.log" || true
done
exit $status
