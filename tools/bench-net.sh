#!/usr/bin/env bash
# Runs a command on a private network of 254 PCs for the echo benchmark, and
# removes the network again when it ends. Needs root (network namespaces).
#
#   tools/bench-net.sh [--wine <build-dir>] <command> [args...]
#
# Namespaces "host" (where the command runs) and "farm", joined by a veth
# pair. The farm holds the answering PCs as addresses on its loopback; a
# blackhole route swallows the echoes to the others, so they time out without
# any ICMP error. Traffic never leaves these two namespaces.
# The command sees QV_BENCH_NET="<prefix> <silent octets...>", for example
# "10.213.20. 3 5 8 ...": octets 1 to 254 of the prefix, the listed ones silent.
# With --wine, the build's Wine prefix is used and its wineserver started
# inside "host" (Wine's ICMP helper lives where the wineserver runs).
set -euo pipefail
cd "$(dirname "$0")/.."

wine_build=
if [ "${1:-}" = --wine ]; then
  wine_build=${2:?build dir after --wine}
  shift 2
fi
[ $# -gt 0 ] || { echo "usage: $0 [--wine <build-dir>] <command> [args...]" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "$0: needs root for network namespaces" >&2; exit 2; }

prefix=10.213.20.
id=$$
host=qvb-host-$id farm=qvb-farm-$id

down() {
  if [ -n "$wine_build" ]; then wineserver -k 2>/dev/null || true; fi
  ip netns del "$host" 2>/dev/null || true
  ip netns del "$farm" 2>/dev/null || true
}
trap down EXIT

ip netns add "$host"
ip netns add "$farm"
ip link add qbh$id type veth peer name qbf$id
ip link set qbh$id netns "$host"
ip link set qbf$id netns "$farm"
ip -n "$host" link set lo up
ip -n "$farm" link set lo up
ip -n "$host" addr add 10.213.21.1/30 dev qbh$id
ip -n "$farm" addr add 10.213.21.2/30 dev qbf$id
ip -n "$host" link set qbh$id up
ip -n "$farm" link set qbf$id up
ip -n "$host" route add ${prefix}0/24 via 10.213.21.2

# 100 of the 254 silent, spread over the range: octet n is silent where
# floor(100 n / 254) steps up.
silent=()
for n in $(seq 1 254); do
  if [ $((100 * n / 254)) -ne $((100 * (n - 1) / 254)) ]; then
    silent+=("$n")
  else
    ip -n "$farm" addr add "$prefix$n/32" dev lo
  fi
done
# Local addresses win over this route; the rest is dropped without an error
# (forwarding on, or the farm would answer "host unreachable").
ip netns exec "$farm" sysctl -qw net.ipv4.ip_forward=1
ip -n "$farm" route add blackhole ${prefix}0/24
export QV_BENCH_NET="$prefix ${silent[*]}"
echo "bench network: ${prefix}1-254, $((254 - ${#silent[@]})) answering, ${#silent[@]} silent" >&2

if [ -n "$wine_build" ]; then
  source tools/wine-env.sh "$wine_build"
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  ip netns exec "$host" wineserver -p
  # Wine's services inherit the first program's output: start them detached.
  ip netns exec "$host" wine cmd /c exit >/dev/null 2>&1 </dev/null || true
fi
ip netns exec "$host" "$@"
