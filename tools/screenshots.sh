#!/usr/bin/env bash
# Takes the README's screenshots of Lanyx as a person would see it: the
# desktop program under a virtual display on a simulated network segment,
# with lanyx-cli peers beside it. Needs root (network namespaces), Xvfb and
# ImageMagick's import. Usage: tools/screenshots-lanyx.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
build=${1:-build}
out=${2:-docs}
bin="$(cd "$build/bin" && pwd)"
mkdir -p "$out"
p=lxs$$
display=:$((300 + $$ % 300))
work=$(mktemp -d)
cleanup() {
  pkill -f "$work" 2>/dev/null || true
  for i in 0 1 2; do ip netns del ${p}h$i 2>/dev/null || true; done
  ip netns del ${p}s 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

ip netns add ${p}s
ip -n ${p}s link add br0 type bridge
ip -n ${p}s link set br0 up
for i in 0 1 2; do
  ip netns add ${p}h$i
  ip link add name ${p}v$i netns ${p}s type veth peer name eth0 netns ${p}h$i
  ip -n ${p}s link set ${p}v$i master br0 up
  ip -n ${p}h$i addr add 10.79.0.$((i + 1))/24 dev eth0
  ip -n ${p}h$i link set eth0 up
  ip -n ${p}h$i link set lo up
  ip -n ${p}h$i route add default dev eth0
done

Xvfb $display -screen 0 1024x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
mkdir -p "$work"/{ann,bob,carl,dora}
ip netns exec ${p}h1 "$bin/lanyx-cli" --dir "$work/bob" --name bob --colour '#c62828' --probe-ms 500 listen >/dev/null 2>&1 &
ip netns exec ${p}h2 "$bin/lanyx-cli" --dir "$work/carl" --name Carl --colour '#1565c0' --status 1 --probe-ms 500 listen >/dev/null 2>&1 &
sleep 1
printf '"English"\r\n0\r\n0,0,3600,4605\r\n"ann","0","4","(S)","0"\r\n0,0,0,0\r\n1\r\n"mallory"\r\n1\r\n"team|bob|Carl|"\r\n' > "$work/ann/User.ini"
DISPLAY=$display ip netns exec ${p}h0 "$bin/lanyx" --dir "$work/ann" --probe-ms 1500 >/dev/null 2>&1 &
sleep 4
ip netns exec ${p}h1 "$bin/lanyx-cli" --dir "$work/dora" --name mallory --probe-ms 500 alert hi >/dev/null 2>&1 || true
sleep 1
DISPLAY=$display import -window root "$out/lanyx-main.png"
ip netns exec ${p}h2 "$bin/lanyx-cli" --dir "$work/dora" --name dora --colour '#2e7d32' --probe-ms 500 \
  alert --to ann "The build server is back. Deploy when ready." >/dev/null 2>&1
ip netns exec ${p}h2 "$bin/lanyx-cli" --dir "$work/dora" --name dora --colour '#2e7d32' --probe-ms 500 \
  chat --to ann "Lunch at one? The new place around the corner has a long menu, so this line wraps below the name." >/dev/null 2>&1
sleep 2
DISPLAY=$display import -window root "$out/lanyx-alert-chat.png"
echo "screenshots in $out"
