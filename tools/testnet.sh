# Sourced: a private network in namespaces. "host" runs the tests; "pcs" holds
# two answering PCs and routes a subnet it refuses to reach; "mute" holds a PC
# that ignores echoes, so an echo to it times out; one more address is held by
# nobody. Traffic never leaves these namespaces.
# Sets QV_NETNS (the namespace to run tests in) and QV_TEST_NET ("answering
# answering ignoring refused-by-a-router unheld"), or leaves both unset with
# QV_NETNS_WHY saying why.
qv_net_up() {
  unset QV_NETNS QV_TEST_NET QV_NETNS_WHY
  local id=$$
  local host=qvt-host-$id pcs=qvt-pcs-$id mute=qvt-mute-$id
  if [ "$(id -u)" != 0 ] || ! ip netns add "$host" 2>/dev/null; then
    export QV_NETNS_WHY="network namespaces are not permitted here (needs root)"
    return 0
  fi
  ip netns add "$pcs"
  ip netns add "$mute"
  ip link add qvh$id type veth peer name qvp$id
  ip link set qvh$id netns "$host"
  ip link set qvp$id netns "$pcs"
  ip -n "$host" link set lo up
  ip -n "$pcs" link set lo up
  ip -n "$host" addr add 10.213.7.1/24 dev qvh$id
  ip -n "$pcs" addr add 10.213.7.2/24 dev qvp$id
  ip -n "$pcs" addr add 10.213.7.3/24 dev qvp$id
  ip -n "$host" link set qvh$id up
  ip -n "$pcs" link set qvp$id up
  # A subnet behind the "pcs" side that it refuses to reach: an echo there
  # comes back at once as an ICMP "host unreachable" error from 10.213.7.2.
  ip -n "$host" route add 10.213.8.0/24 via 10.213.7.2
  ip netns exec "$pcs" sysctl -qw net.ipv4.ip_forward=1
  ip -n "$pcs" route add unreachable 10.213.8.0/24
  # A PC that is there (ARP answers) but ignores echoes.
  ip link add qvm$id type veth peer name qvn$id
  ip link set qvm$id netns "$host"
  ip link set qvn$id netns "$mute"
  ip -n "$host" addr add 10.213.9.1/24 dev qvm$id
  ip -n "$mute" addr add 10.213.9.2/24 dev qvn$id
  ip -n "$host" link set qvm$id up
  ip -n "$mute" link set qvn$id up
  ip netns exec "$mute" sysctl -qw net.ipv4.icmp_echo_ignore_all=1
  export QV_NETNS=$host QV_NETNS_PCS=$pcs QV_NETNS_MUTE=$mute
  export QV_TEST_NET="10.213.7.2 10.213.7.3 10.213.9.2 10.213.8.5 10.213.7.9"
}

qv_net_down() {
  [ -n "${QV_NETNS:-}" ] || return 0
  ip netns del "$QV_NETNS" 2>/dev/null || true
  ip netns del "$QV_NETNS_PCS" 2>/dev/null || true
  ip netns del "$QV_NETNS_MUTE" 2>/dev/null || true
  unset QV_NETNS QV_NETNS_PCS QV_NETNS_MUTE QV_TEST_NET
}

# Runs a command inside the test namespace when there is one.
qv_in_net() {
  if [ -n "${QV_NETNS:-}" ]; then ip netns exec "$QV_NETNS" "$@"; else "$@"; fi
}
