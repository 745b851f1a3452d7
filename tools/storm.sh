#!/usr/bin/env bash
# Join storm on a simulated segment: lanyx-cli listens on one host (without
# the privilege to force a large receive buffer), lanyx-storm on another
# speaks for N newcomers at RATE a second (default 20000), checks that the
# node's presence follows the last newcomer and that a further one is
# answered, and this script counts how many newcomers the node listed.
# Needs root (network namespaces); nothing reaches the real network.
#   tools/storm.sh [BUILD_DIR] [N...]      e.g. tools/storm.sh build 1000 10000
set -euo pipefail
source "$(dirname "$0")/segment.sh"
BUILD=${1:-build}
shift || true
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
