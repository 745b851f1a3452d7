#!/usr/bin/env bash
# Join storm on a simulated segment: lanyx-cli listens on one host (without
# the privilege to force a large receive buffer), lanyx-storm on another
# speaks for N newcomers at RATE a second (default 20000), checks that the
# node's presence follows the last newcomer and that a further one is
# answered, and this script counts how many newcomers the node listed.
# Needs root (network namespaces); nothing reaches the real network.
#   tools/storm.sh [BUILD_DIR] [N...]      e.g. tools/storm.sh build 1000 10000
#
# Alert storm at the desktop program, under a virtual display (Xvfb), as a
# user without the privilege to force a large receive buffer: a colleague
# is listed, then ALERTS public alerts (default 100000) from NAMES made-up
# names (default 5000) come at RATE a second (default 10000); AFTER_MS
# after the storm (default 1000) the colleague sends one alert. Prints how
# long its popup took to show (polled every 100 ms) and the program's
# resident size before, at the storm's end, when the popup showed and 10 s
# later (LANYX=path runs another build of the desktop program).
#   tools/storm.sh BUILD_DIR alerts [ALERTS [NAMES [RATE [AFTER_MS]]]]
set -euo pipefail
source "$(dirname "$0")/segment.sh"
BUILD=${1:-build}
shift || true
if [ "${1:-}" = alerts ]; then
  shift
  ALERTS=${1:-100000} NAMES=${2:-5000} ARATE=${3:-10000} AFTER=${4:-1000}
  DESK=${LANYX:-$BUILD/bin/lanyx}
  STORM=$BUILD/bin/lanyx-storm
  for p in "$DESK" "$STORM"; do
    [ -x "$p" ] || { echo "storm.sh: $p not built (cmake --build $BUILD)" >&2; exit 2; }
  done
  for t in Xvfb xwininfo; do command -v $t >/dev/null || { echo "storm.sh: $t missing" >&2; exit 2; }; done
  [ "$(id -u)" -eq 0 ] || { echo "storm.sh: needs root for network namespaces" >&2; exit 2; }
  P=lxas$$
  WORK=$(mktemp -d /tmp/lanyx-alert-storm-XXXXXX)
  DISPLAY_NUM=$((200 + $$ % 500))
  XVFB_PID= DESK_PID=
  cleanup() {
    [ -n "$DESK_PID" ] && kill "$DESK_PID" 2>/dev/null && wait "$DESK_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
    drop_segment $P 2
    rm -rf "$WORK"
  }
  trap cleanup EXIT
  make_segment $P 10.77.0 2
  Xvfb :$DISPLAY_NUM -screen 0 1280x1024x24 -nolisten tcp > "$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  export DISPLAY=:$DISPLAY_NUM
  windows() { xwininfo -root -tree 2>/dev/null || true; }
  rss() { awk '/^VmRSS:/ {print $2}' /proc/"$DESK_PID"/status 2>/dev/null || echo gone; }
  for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
  mkdir -p "$WORK/node"
  ip netns exec ${P}h0 setpriv --bounding-set -net_admin env DISPLAY=$DISPLAY QT_QPA_PLATFORM=xcb \
    "$DESK" --dir "$WORK/node" --name node --probe-ms 1500 > "$WORK/node.out" 2> "$WORK/node.err" &
  DESK_PID=$!
  for _ in $(seq 150); do windows | grep -q '"Lanyx"' && break; sleep 0.1; done
  windows | grep -q '"Lanyx"' || { echo "storm.sh: the desktop program did not start" >&2; cat "$WORK/node.err" >&2; exit 1; }
  sleep 3
  echo "rss before kB	$(rss)"
  ip netns exec ${P}h1 "$STORM" --alerts "$ALERTS" --names "$NAMES" --rate "$ARATE" --real-after-ms "$AFTER" \
    --prefix spoof > "$WORK/storm.out" &
  STORM_PID=$!
  until grep -q '^storm ended at' "$WORK/storm.out" 2>/dev/null; do sleep 0.1; done
  echo "rss at the storm's end kB	$(rss)"
  wait $STORM_PID
  sent=$(date +%s%N)
  cat "$WORK/storm.out"
  shown=
  for _ in $(seq ${TIMEOUT_S:-120}0); do
    if windows | grep -q '"colleague'; then shown=$(date +%s%N); break; fi
    kill -0 "$DESK_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$shown" ]; then
    echo "real alert shown after ms	$(((shown - sent) / 1000000))"
    echo "rss when shown kB	$(rss)"
    sleep 10
    echo "rss 10 s later kB	$(rss)"
  elif kill -0 "$DESK_PID" 2>/dev/null; then
    echo "real alert shown after ms	not within ${TIMEOUT_S:-120} s"
    echo "rss then kB	$(rss)"
  else
    wait "$DESK_PID" && status=0 || status=$?
    DESK_PID=
    echo "the desktop program ended, status $status"
    tail -5 "$WORK/node.err"
  fi
  exit 0
fi
SIZES=("$@")
[ ${#SIZES[@]} -gt 0 ] || SIZES=(1000 10000)
CLI=$BUILD/bin/lanyx-cli
STORM=$BUILD/bin/lanyx-storm
for p in "$CLI" "$STORM"; do
  [ -x "$p" ] || { echo "storm.sh: $p not built (cmake --build $BUILD --target lanyx-storm lanyx-cli)" >&2; exit 2; }
done
[ "$(id -u)" -eq 0 ] || { echo "storm.sh: needs root for network namespaces" >&2; exit 2; }

P=lxst$$
WORK=$(mktemp -d /tmp/lanyx-storm-XXXXXX)
NODE_PID=
cleanup() {
  [ -n "$NODE_PID" ] && kill "$NODE_PID" 2>/dev/null && wait "$NODE_PID" 2>/dev/null || true
  drop_segment $P 2
  rm -rf "$WORK"
}
trap cleanup EXIT

make_segment $P 10.78.0 2

mkdir -p "$WORK/node"
ip netns exec ${P}h0 setpriv --bounding-set -net_admin "$CLI" --dir "$WORK/node" --name node --probe-ms 1500 listen > "$WORK/node.out" 2> "$WORK/node.err" &
NODE_PID=$!
for _ in $(seq 100); do grep -q "^join	node	" "$WORK/node.out" 2>/dev/null && break; sleep 0.1; done
grep -q "^join	node	" "$WORK/node.out" || { echo "storm.sh: the node did not join" >&2; cat "$WORK/node.err" >&2; exit 1; }

for n in "${SIZES[@]}"; do
  echo "== join storm of $n newcomers"
  ip netns exec ${P}h1 "$STORM" --peers "$n" --node node --prefix "s${n}x" --rate "${RATE:-20000}" --no-leave || true
  sleep 1
  echo "listed	$(grep -c "^join	s${n}x[0-9]" "$WORK/node.out") of $n"
done
