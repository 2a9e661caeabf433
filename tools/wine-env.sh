# Sourced: a private Wine prefix in the build tree, Korean locale, no noise.
# Usage: source tools/wine-env.sh <build-dir>
qv_build=${1:?build dir}
export WINEPREFIX="$(cd "$qv_build" && pwd)/wineprefix"
export WINEARCH=win64
export LC_ALL=ko_KR.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating the Wine prefix $WINEPREFIX (about 15 s)"
  wineboot -i >/dev/null 2>&1 || true
  # A crash must fail the test, not wait for a click on a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
fi
