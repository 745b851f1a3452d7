#!/usr/bin/env bash
# File-transfer figures between two network namespaces joined by a veth
# pair: the same file copied once with plain TCP (socat) and once with our
# transfer (encryption on), each end in its own namespace and process; the
# ratio of the two times; the receiving end's resident-size growth; then
# many small files in a folder against one file of their total size.
# Needs root (network namespaces); nothing reaches the real network.
#   tools/transfer-bench.sh [BUILD_DIR] [MB] [N_SMALL] [KB_SMALL] [RUNS]
#   e.g. tools/transfer-bench.sh build 1024 10000 4 3
# Files go under $BENCH_DIR (default /tmp, a real disk folder; /dev/shm
# leaves the disk out). N_SMALL 0 leaves out the small files.
set -euo pipefail
BUILD=${1:-build}
MB=${2:-1024}
NSMALL=${3:-10000}
KBSMALL=${4:-4}
RUNS=${5:-3}
FIG=$BUILD/bin/lanyx-transfer-figures
[ -x "$FIG" ] || { echo "transfer-bench.sh: $FIG not built (cmake --build $BUILD --target lanyx-transfer-figures)" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "transfer-bench.sh: skipped, needs root for network namespaces" >&2; exit 2; }
command -v socat >/dev/null || { echo "transfer-bench.sh: socat missing (tools/deps.sh)" >&2; exit 2; }
FIG=$(readlink -f "$FIG")

P=lxtb$$
A=${P}a   # sending end
B=${P}b   # receiving end
ADDR_A=10.79.0.1
WORK=$(mktemp -d "${BENCH_DIR:-/tmp}/lanyx-xfer-bench-XXXXXX")
PIDS=()
cleanup() {
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  ip netns del $A 2>/dev/null || true
  ip netns del $B 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

ip netns add $A
ip netns add $B
ip link add ${P}va netns $A type veth peer name ${P}vb netns $B
ip -n $A addr add $ADDR_A/24 dev ${P}va
ip -n $B addr add 10.79.0.2/24 dev ${P}vb
for n in $A $B; do ip -n $n link set lo up; done
ip -n $A link set ${P}va up
ip -n $B link set ${P}vb up

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }

# The same file for both copies, made once.
mkdir -p "$WORK/src"
head -c $((MB << 20)) /dev/urandom > "$WORK/src/big.bin"
sync

# socat's blocks as large as our frames (its default, 8 KiB, would make the
# plain copy slow for no reason of TCP's).
SOCAT_BLOCK=262144

# One plain copy: the listener in B writes the file; the time is the
# sender's, from connect until the receiver has closed.
plain_copy() {
  rm -f "$WORK/plain.bin"
  (TIMEFORMAT='%U %S'; time ip netns exec $B socat -u -b $SOCAT_BLOCK TCP-LISTEN:7001,reuseaddr \
    OPEN:"$WORK/plain.bin",creat,trunc) 2> "$WORK/listener.cpu" &
  local listener=$!
  PIDS+=("$listener")
  for _ in $(seq 100); do ip netns exec $B ss -ltn | grep -q ':7001 ' && break; sleep 0.05; done
  local t0 t1
  sync  # the last run's writes do not land in this one's time
  t0=$(now)
  (TIMEFORMAT='%U %S'; time ip netns exec $A socat -u -b $SOCAT_BLOCK OPEN:"$WORK/src/big.bin" TCP:10.79.0.2:7001) \
    2> "$WORK/sender.cpu"
  wait "$listener"
  t1=$(now)
  cmp -s "$WORK/plain.bin" "$WORK/src/big.bin" || { echo "transfer-bench.sh: the plain copy differs" >&2; exit 1; }
  rm -f "$WORK/plain.bin"
  echo "$(calc "$t1 - $t0") $(awk '{ print $1 + $2 }' "$WORK/sender.cpu") $(awk '{ print $1 + $2 }' "$WORK/listener.cpu")"
}

# One transfer of PATH...: sender in A, receiver in B; prints the
# receiver's figures.
our_transfer() {
  rm -rf "$WORK/keys" "$WORK/dst"
  mkdir -p "$WORK/keys" "$WORK/dst"
  sync
  ip netns exec $A "$FIG" serve "$WORK/keys" 7002 "$@" > "$WORK/serve.out" 2> "$WORK/serve.err" &
  local server=$!
  PIDS+=("$server")
  for _ in $(seq 200); do [ -f "$WORK/keys/offer" ] && break; sleep 0.05; done
  ip netns exec $B "$FIG" fetch "$WORK/keys" $ADDR_A "$WORK/dst" > "$WORK/fetch.out" 2> "$WORK/fetch.err" || {
    echo "transfer-bench.sh: the transfer failed" >&2
    cat "$WORK/fetch.err" "$WORK/serve.err" >&2
    exit 1
  }
  wait "$server" || { echo "transfer-bench.sh: the sending end failed" >&2; cat "$WORK/serve.err" >&2; exit 1; }
  cat "$WORK/fetch.out"
  sed 's/^cpu_seconds/sender_cpu_seconds/; s/^loop_gap_ms/sender_loop_gap_ms/' "$WORK/serve.out"
}

field() { awk -v k="$1" '$1 == k { print $2 }'; }

echo "== one file of $MB MiB, $RUNS runs, alternating"
for run in $(seq "$RUNS"); do
  read -r plain plainSendCpu plainRecvCpu < <(plain_copy)
  out=$(our_transfer "$WORK/src/big.bin")
  cmp -s "$WORK/dst/big.bin" "$WORK/src/big.bin" || { echo "transfer-bench.sh: the transfer differs" >&2; exit 1; }
  ours=$(echo "$out" | field seconds)
  growth=$(echo "$out" | field rss_growth_mib)
  printf 'run %d  plain TCP %6.2f s (%4.0f MiB/s)  ours %6.2f s (%4.0f MiB/s)  ratio %5.1f %%  receiver RSS +%s MiB\n' \
    "$run" "$plain" "$(calc "$MB / $plain")" "$ours" "$(calc "$MB / $ours")" \
    "$(calc "100 * $plain / $ours")" "$growth"
  printf '       CPU seconds per GiB: plain sender %.2f receiver %.2f; ours sender %.2f receiver %.2f\n' \
    "$(calc "$plainSendCpu * 1024 / $MB")" "$(calc "$plainRecvCpu * 1024 / $MB")" \
    "$(calc "$(echo "$out" | field sender_cpu_seconds) * 1024 / $MB")" \
    "$(calc "$(echo "$out" | field cpu_seconds) * 1024 / $MB")"
  # How long a 5 ms timer (standing for the chat) waited at most, each end.
  printf '       longest wait of the event loop: sender %s ms, receiver %s ms\n' \
    "$(echo "$out" | field sender_loop_gap_ms)" "$(echo "$out" | field loop_gap_ms)"
done
rm -rf "$WORK/dst" "$WORK/src/big.bin"

[ "$NSMALL" -gt 0 ] || exit 0
echo "== $NSMALL files of $KBSMALL KiB in a folder against one file of the same size"
mkdir -p "$WORK/src/many"
# Files with distinct contents, written in one pass.
python3 - "$WORK/src/many" "$NSMALL" "$KBSMALL" <<'EOF'
import os, sys
d, n, kb = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(n):
    with open(os.path.join(d, "f%05d" % i), "wb") as f:
        f.write(os.urandom(kb * 1024))
EOF
head -c $((NSMALL * KBSMALL * 1024)) /dev/urandom > "$WORK/src/one.bin"
sync
for run in $(seq "$RUNS"); do
  many=$(our_transfer "$WORK/src/many" | field seconds)
  [ "$(find "$WORK/dst/many" -type f | wc -l)" -eq "$NSMALL" ] || { echo "transfer-bench.sh: files missing" >&2; exit 1; }
  one=$(our_transfer "$WORK/src/one.bin" | field seconds)
  printf 'run %d  %d files %6.2f s  one file %6.2f s  ratio %4.2f\n' "$run" "$NSMALL" "$many" "$one" \
    "$(calc "$many / $one")"
done
# The file system's own share: the same files written into place as the
# receiver writes them, without network, encryption or checks.
rm -rf "$WORK/dst"
floor=$("$FIG" floor "$NSMALL" "$KBSMALL" "$WORK")
fmany=$(echo "$floor" | field floor_many_seconds)
fone=$(echo "$floor" | field floor_one_seconds)
printf 'file system alone: %d files %6.2f s  one file %6.2f s  ratio %4.2f\n' "$NSMALL" "$fmany" "$fone" \
  "$(calc "$fmany / ($fone > 0 ? $fone : 0.001)")"
