#!/usr/bin/env bash
# Builds both builds and runs every test: native (sanitizers) and Windows
# (under Wine, Korean locale), on a private test network where permitted.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

tools/deps.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"$jobs"

source tools/testnet.sh
qv_net_up
source tools/xvfb.sh
trap 'wineserver -k 2>/dev/null || true; qv_net_down; qv_xvfb_stop' EXIT
[ -n "${QV_NETNS:-}" ] || echo "note: echo tests on the private network will skip: $QV_NETNS_WHY"

status=0
echo "== native tests"
qv_in_net ctest --test-dir build/native --output-on-failure -j"$jobs" || status=1

echo "== Windows tests under Wine"
qv_xvfb_start  # the GUI tests create real windows
source tools/wine-env.sh build/win
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# The wineserver (and Wine's ICMP helper with it) must live in the test namespace.
qv_in_net wineserver -p
# Start Wine's services now, detached from CTest's output pipes: a service
# started by the first test would hold that test's pipe open until the end.
qv_in_net wine cmd /c exit >/dev/null 2>&1 </dev/null || true
qv_in_net ctest --test-dir build/win --output-on-failure || status=1
exit $status
