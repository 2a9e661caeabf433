#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine (Korean locale). With no
# display it runs on a private Xvfb display and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"$(nproc)" --target Quorvel
source tools/wine-env.sh build/win
if [ -n "${DISPLAY:-}" ]; then
  exec wine build/win/src/Quorvel.exe
fi
source tools/xvfb.sh
qv_xvfb_start
trap 'wineserver -k 2>/dev/null || true; qv_xvfb_stop' EXIT
wine build/win/src/Quorvel.exe >/dev/null 2>&1 </dev/null &
sleep 8
import -window root build/win/screenshot.png
echo "No display here: Quorvel ran on a private Xvfb display; its screenshot is build/win/screenshot.png."
echo "With a desktop (DISPLAY set, or ssh -X), this command opens the window itself."
