# Sourced by the tools that need a simulated network segment: one switch
# (a bridge in namespace <prefix>s) and hosts <prefix>h0 ... <prefix>h(N-1),
# each with eth0 at <net>.<i+1>/24 on the switch and a default route, so the
# default broadcast address stays inside the segment. Needs root.

# make_segment PREFIX NET HOSTS   e.g. make_segment lxs1 10.79.0 5
make_segment() {
  local p=$1 net=$2 n=$3 i
  ip netns add ${p}s
  ip -n ${p}s link add br0 type bridge
  ip -n ${p}s link set br0 up
  for ((i = 0; i < n; i++)); do
    ip netns add ${p}h$i
    ip link add name ${p}v$i netns ${p}s type veth peer name eth0 netns ${p}h$i
    ip -n ${p}s link set ${p}v$i master br0 up
    ip -n ${p}h$i addr add $net.$((i + 1))/24 dev eth0
    ip -n ${p}h$i link set eth0 up
    ip -n ${p}h$i link set lo up
    ip -n ${p}h$i route add default dev eth0
  done
}

# drop_segment PREFIX HOSTS: removes what make_segment made; never fails.
drop_segment() {
  local p=$1 n=$2 i
  for ((i = 0; i < n; i++)); do ip netns del ${p}h$i 2>/dev/null || true; done
  ip netns del ${p}s 2>/dev/null || true
}
