#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) in their own build folders and runs each for SECONDS: the chat
# program's in BUILD_DIR, the designer's (which need Qt) in BUILD_DIR-designer.
#   tools/fuzz.sh SECONDS [BUILD_DIR]
# Corpora grow in the build folders' corpus-*; a crash leaves crash-* there
# and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:?usage: tools/fuzz.sh SECONDS [BUILD_DIR]}
BUILD=${2:-build-fuzz}
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ not found" >&2; exit 2; }

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DLANYX_FUZZ=ON -DLANYX_CORE_ONLY=ON \
  -DBUILD_TESTING=OFF -DBUILD_TAVISHFENNIC=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target fuzz_dispatch fuzz_settings fuzz_language fuzz_eventline fuzz_offer fuzz_secure fuzz_keyfiles \
  fuzz_pins fuzz_search fuzz_room

# Seeds: what the program really reads.
mkdir -p "$BUILD"/corpus-dispatch "$BUILD"/corpus-settings "$BUILD"/corpus-language "$BUILD"/corpus-eventline \
  "$BUILD"/corpus-secure "$BUILD"/corpus-keyfiles "$BUILD"/corpus-offer "$BUILD"/corpus-pins "$BUILD"/corpus-search "$BUILD"/corpus-room
printf '\x00""1;sign,box,receipt;AAAA;BBBB;CCCC' > "$BUILD"/corpus-secure/announce
printf '\x01""AAAAAAAAAAA=' > "$BUILD"/corpus-secure/companion
printf '\x02""ann|AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=' > "$BUILD"/corpus-secure/encrypted
printf '\x04\xdfhello' > "$BUILD"/corpus-secure/opens
printf '\x05""sign,box;bob' > "$BUILD"/corpus-secure/signed-announce
printf '\x05""sign,box,was=bob;bobby' > "$BUILD"/corpus-secure/renamed
printf 'Lanyx previous names 1\nann\t1700000000000\n' > "$BUILD"/corpus-keyfiles/previous-names
printf 'Lanyx identity 1\nsign AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\nbox AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\n' \
  > "$BUILD"/corpus-keyfiles/identity
printf 'Lanyx known keys 1\nann\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\n' \
  > "$BUILD"/corpus-keyfiles/pins
printf 'Lanyx known keys 2\nkey\tann\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\tnew\tbox\t1700000000\nkey\tbob\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\tchecked\tnobox\t1\tBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBA=\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\tbox\nplain\trex\t1700000001\n' \
  > "$BUILD"/corpus-pins/v2
cp "$BUILD"/corpus-keyfiles/pins "$BUILD"/corpus-pins/v1
printf 'Lanyx sequence numbers seen 1\ns\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\t0000000000000042\t0000000000000001\np\tann\t0000000000000007\t00000000000000ff\n' \
  > "$BUILD"/corpus-keyfiles/seen
cp resources/chat/Lang.con "$BUILD"/corpus-language/shipped
printf '"English"\r\n0\r\n0,0,2505,4605\r\n"ann",255,4,"(B)",0\r\n0,0,2500,3800\r\n2\r\n"bob"\r\n"Carl"\r\n1\r\n"team|ann|bob|"\r\n' \
  > "$BUILD"/corpus-settings/user.ini
printf '"English"\r\n0\r\n0,0,2505,4605\r\n"ann",0,4,"(B)",0\r\n0,0,2500,3800\r\n1\r\n"x"",1,""spy"\r\n0\r\n' \
  > "$BUILD"/corpus-settings/quoted.ini
printf 'boss\tx|private-alert\r\npay\x1b]0;title\x07\x9b2J' > "$BUILD"/corpus-eventline/forged
i=0
for d in 'bob|C/255' 'bob|S/1' 'bob|M/\xdehello' 'bob|P/\xdfhi|ann' 'bob|L/' '_bob|C/0' 'bob|B/box' 'Ann|M/' 'bob|S/7'; do
  printf "$d" > "$BUILD/corpus-dispatch/seed$i"; i=$((i + 1))
done

printf 'v1;id=0123456789abcdef0123456789abcdef;port=40000;files=2;bytes=15;names=Fotos,a%%20b.txt\nD Fotos\nF 10 Fotos/x.jpg\nF 5 a%%20b.txt\n' \
  > "$BUILD"/corpus-offer/folder

printf 'lunch "fire drill" OR mail -spam caf\xc3\xa9' > "$BUILD"/corpus-search/query
printf 'NEAR(a b) text:x ^c d* -"e f' > "$BUILD"/corpus-search/syntax
printf '1\n0123456789abcdef0123456789abcdef\n3\nadded\ndave\nann\nbob\ndave' > "$BUILD"/corpus-room/added

status=0
for t in dispatch settings language eventline offer secure keyfiles pins search room; do
  echo "== fuzz_$t for ${SECONDS_EACH}s"
  if ! "$BUILD/bin/fuzz_$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 -artifact_prefix="$BUILD/" \
      "$BUILD/corpus-$t" 2> "$BUILD/fuzz_$t.log"; then
    status=1
    tail -40 "$BUILD/fuzz_$t.log" >&2
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$BUILD/fuzz_$t.log" || true
done

# The designer: the template list's description block reader, the button's
# .pgt reader (and the writers on what it reads), the class registry reader.
DBUILD="$BUILD"-designer
CC=clang CXX=clang++ cmake -S . -B "$DBUILD" -G Ninja -DFENNIC_FUZZ=ON -DBUILD_LANYX=OFF \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$DBUILD" --target fuzz_description fuzz_pgt fuzz_registry

mkdir -p "$DBUILD"/corpus-description "$DBUILD"/corpus-pgt "$DBUILD"/corpus-registry
cp resources/designer/PageletServer/*.pgt "$DBUILD"/corpus-description/
cp resources/designer/PageletServer/*.pgt "$DBUILD"/corpus-pgt/
# As the build writes classes.reg, and a user's file naming its server by a
# full path.
printf '%s\n' '; TavishFennic class registry' '[PageletServer.FennicButton]' '@="Fennic Button"' \
  '[PageletServer.FennicButton\CLSID]' '@="{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}"' \
  '[CLSID\{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}]' '@="Fennic Button"' \
  '[CLSID\{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}\ProgID]' '@="PageletServer.FennicButton"' \
  '[CLSID\{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}\InprocServer32]' '@="PageletServer/FennicButton.so"' \
  > "$DBUILD"/corpus-registry/classes.reg
printf '%s\r\n' '[pageletserver.fennicbutton\clsid]' '@ = "{2f6c1e0a-7b4d-4c59-9a0e-5d3b8f1c6a42}"' \
  '[CLSID\{2f6c1e0a-7b4d-4c59-9a0e-5d3b8f1c6a42}\InprocServer32\]' \
  '@="C:\\Program Files\\Meridex\\FennicButton.dll"' '"ThreadingModel"="Apartment"' \
  > "$DBUILD"/corpus-registry/user.reg

for t in description pgt registry; do
  echo "== fuzz_$t for ${SECONDS_EACH}s"
  dict=designer/fuzz/$([ "$t" = registry ] && echo registry || echo pgt).dict
  if ! "$DBUILD/bin/fuzz_$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 -artifact_prefix="$DBUILD/" \
      -dict="$dict" "$DBUILD/corpus-$t" 2> "$DBUILD/fuzz_$t.log"; then
    status=1
    tail -40 "$DBUILD/fuzz_$t.log" >&2
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$DBUILD/fuzz_$t.log" || true
done
exit $status
