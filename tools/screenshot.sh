#!/usr/bin/env bash
# The README's screenshot: the program on a small sample workspace, both lists
# filled, under Xvfb. Writes docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/deps.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/win -j"$(nproc)" --target Quorvel
ws=$(mktemp -d /tmp/qvshot_XXXXXX)
trap 'rm -rf "$ws"' EXIT
mkdir -p "$ws/app" "$ws/src/bin" "$ws/src/data" "$ws/tgt/bin" "$ws/tgt/data"
put() { printf '%*s' "$2" '' >"$ws/$1"; touch -d "$3" "$ws/$1"; }
put src/Line.exe 482133 '2026-12-10 18:20'; put tgt/Line.exe 480021 '2026-11-02 09:12'
put src/Line.ini 2210 '2026-10-01 08:00';   put tgt/Line.ini 2210 '2026-10-01 08:00'
put src/bin/Vision.dll 1203340 '2026-12-10 18:19'; put tgt/bin/Vision.dll 1199000 '2026-11-02 09:12'
put src/bin/Motion.dll 88123 '2026-09-15 14:30';   put tgt/bin/Motion.dll 90111 '2026-12-01 10:00'
put src/bin/Recipe.dll 45012 '2026-12-10 18:19'
put src/data/models.db 5242880 '2026-12-09 22:41'; put tgt/data/models.db 5242880 '2026-12-09 22:41'
put src/readme.txt 1023 '2026-12-10 18:00'
cp build/win/src/Quorvel.exe "$ws/app/"
w() { echo "$1" | sed 's#/#\\#g'; }
printf 'IDC_ACS_FILENAME_SRC=`Z:%s`\r\nIDC_ACS_FILENAME_TARGET=`Z:%s`\r\nm_chkSubFolder=`1`\r\nIDC_CHK_AUTOBACKUP=`1`\r\nIDC_CHECK_UPDATEMODE=`1`\r\nCOPYFILES_#0=`Line.exe`\r\nCOPYFILES_#1=`bin\\Vision.dll`\r\nCOPYFILES_#2=`bin\\Recipe.dll`\r\n' \
  "$(w "$ws/src")" "$(w "$ws/tgt")" >"$ws/app/Quorvel.ini"
source tools/wine-env.sh build/win
source tools/xvfb.sh
qv_xvfb_start
(cd "$ws/app" && wine Quorvel.exe >/dev/null 2>&1 </dev/null &)
sleep 6
mkdir -p docs
win=$(xdotool search --name 'Quorvel 3.1' | head -n1)
import -window "$win" docs/screenshot.png
wineserver -k || true
qv_xvfb_stop
echo "wrote docs/screenshot.png"
