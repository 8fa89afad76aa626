#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: one prefix in the build folder,
# made once and reused, and one wineserver kept alive for the whole run so
# that each test program does not pay for starting it.
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mshtml=d
# No display: the unit tests need none, and no dialog can appear.
unset DISPLAY WAYLAND_DISPLAY
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix in $WINEPREFIX"
  timeout 300 wineboot -i >/dev/null 2>&1 || true
fi
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# Warm it: the first program start loads the prefix.
timeout 120 wine cmd /c exit >/dev/null 2>&1 || true
cd "$build" && ctest --output-on-failure
