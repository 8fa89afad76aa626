#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: one prefix in the build folder,
# made once and reused, and one wineserver kept alive for the whole run so
# that each test program does not pay for starting it. Wine's desktop binds
# to the display of the first program, so the run has one Xvfb of its own,
# started before anything else (the unit tests need no display; the program
# tests, the web views' and the desktop conformance cases use this one).
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
shift
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mshtml=d
unset WAYLAND_DISPLAY
number="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$number" 2>/dev/null &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -f "$number"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$number")"
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix in $WINEPREFIX"
  timeout 300 wineboot -i >/dev/null 2>&1 || true
fi
# A server left from an earlier run may hold a desktop on another display.
wineserver -k 2>/dev/null || true
# The display at 96 dots per inch, should a scaled run have been stopped
# before it set them back (the server reads them when it starts).
if grep -q '^"LogPixels"=dword:' "$WINEPREFIX/user.reg" &&
   ! grep -q '^"LogPixels"=dword:00000060' "$WINEPREFIX/user.reg"; then
  sed -i 's/^"LogPixels"=dword:.*/"LogPixels"=dword:00000060/' "$WINEPREFIX/user.reg"
fi
wineserver -p
# Warm it: the first program start loads the prefix and starts the desktop.
timeout 120 wine cmd /c exit >/dev/null 2>&1 || true
# Further arguments go to ctest (-R program, say).
cd "$build" && ctest --output-on-failure --repeat until-pass:2 "$@"
