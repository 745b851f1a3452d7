#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) in their own build folders, the chat program's in BUILD_DIR and
# the designer's (which need Qt) in BUILD_DIR-designer, then either
#   tools/fuzz.sh --once [BUILD_DIR]      runs each target once over every input
#                                         of its committed corpus (what CI does)
#   tools/fuzz.sh SECONDS [BUILD_DIR]     fuzzes each target for SECONDS (for
#                                         people: minutes or hours)
# The committed seeds are chat/fuzz/corpus/TARGET/ and designer/fuzz/corpus/
# TARGET/, with the shipped Lang.con and templates. Fuzzing grows a corpus in
# the build folder (corpus-TARGET); `-merge=1` of it into the committed folder
# keeps what found new paths. A crash leaves crash-* in the build folder and
# makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
usage() { echo "usage: tools/fuzz.sh --once|SECONDS [BUILD_DIR]" >&2; exit 2; }
MODE=${1:-}
[ -n "$MODE" ] || usage
[ "$MODE" = --once ] || [[ "$MODE" =~ ^[0-9]+$ ]] || usage
BUILD=${2:-build-fuzz}
DBUILD="$BUILD"-designer
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ not found" >&2; exit 2; }

chat_targets=(dispatch settings language eventline offer secure keyfiles pins search room verbs salvage address pictures)
designer_targets=(description pgt registry page)

# -O1 with line tables only: what libFuzzer asks for, at half the compile time of -O2 -g.
flags=(-DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DLANYX_FUZZ=ON -DLANYX_CORE_ONLY=ON \
  -DBUILD_TESTING=OFF -DBUILD_TAVISHFENNIC=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$BUILD" --target "${chat_targets[@]/#/fuzz_}"
CC=clang CXX=clang++ cmake -S . -B "$DBUILD" -G Ninja -DFENNIC_FUZZ=ON -DBUILD_LANYX=OFF \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$DBUILD" --target "${designer_targets[@]/#/fuzz_}"

# fuzz BUILD TARGET SEEDS EXTRA...: the target over its seeds and the shipped
# files that are inputs of the same kind.
status=0
fuzz() {
  local build=$1 t=$2 seeds=$3 corpus
  shift 3
  local args=(-print_final_stats=1 -artifact_prefix="$build/")
  case $t in
    description|pgt|page) args+=(-dict=designer/fuzz/pgt.dict) ;;
    registry) args+=(-dict=designer/fuzz/registry.dict) ;;
  esac
  corpus="$build/corpus-$t"
  if [ "$MODE" = --once ]; then
    # Every input once, nothing more: a fresh folder of exactly the seeds.
    rm -rf "$corpus"
    args+=(-runs=0)
  else
    args+=(-max_total_time="$MODE")
  fi
  mkdir -p "$corpus"
  cp "$seeds"/* "$corpus"/ 2>/dev/null || true
  [ $# -eq 0 ] || cp "$@" "$corpus"/
  if [ "$MODE" = --once ]; then how="once each"; else how="then ${MODE}s of fuzzing"; fi
  echo "== fuzz_$t: $(ls "$corpus" | wc -l) inputs, $how"
  if ! "$build/bin/fuzz_$t" "${args[@]}" "$corpus" 2> "$build/fuzz_$t.log"; then
    status=1
    tail -40 "$build/fuzz_$t.log" >&2
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/fuzz_$t.log" || true
}

for t in "${chat_targets[@]}"; do
  extra=()
  [ "$t" = language ] && extra=(resources/chat/Lang.con)
  fuzz "$BUILD" "$t" "chat/fuzz/corpus/$t" "${extra[@]}"
done
for t in "${designer_targets[@]}"; do
  extra=()
  case $t in description|pgt) extra=(resources/designer/PageletServer/*.pgt) ;; esac
  fuzz "$DBUILD" "$t" "designer/fuzz/corpus/$t" "${extra[@]}"
done
exit $status
