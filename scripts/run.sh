#!/usr/bin/env bash
# Starts the built program: scripts/run.sh [BUILD_DIR]
# With a display, it runs until its window is closed. Without one, it starts
# an Xvfb of its own, runs the program until its start page has loaded and a
# few seconds more (RUN_SECONDS), saves a screenshot as BUILD_DIR/screenshot.png
# and ends everything it started.
set -euo pipefail
build="${1:-build}"
program="$build/dist/skinshell"
if [ ! -x "$program" ]; then
  echo "run.sh: $program is not built (make build)" >&2
  exit 1
fi
if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

seconds="${RUN_SECONDS:-3}"
shot="$build/screenshot.png"
fifo_dir=$(mktemp -d)
server=""
app=""
cleanup() {
  [ -n "$app" ] && kill -TERM "$app" 2>/dev/null || true
  [ -n "$server" ] && kill -TERM "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$fifo_dir"
}
trap cleanup EXIT

# -displayfd picks a free display number and says which once it is ready.
exec 3<> "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 2>/dev/null &
server=$!
number=""
for _ in $(seq 100); do
  number=$(head -n1 "$fifo_dir/display" 2>/dev/null || true)
  [ -n "$number" ] && break
  sleep 0.1
done
if [ -z "$number" ]; then
  echo "run.sh: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$number"
# No accessibility bus to look for, as in the tests.
export NO_AT_BRIDGE=1
echo "No display: running on Xvfb $DISPLAY"
trace="$fifo_dir/trace"
G_MESSAGES_DEBUG=skinshell "$program" >"$trace" 2>&1 &
app=$!
ended_early() {
  wait "$app" && status=0 || status=$?
  app=""
  echo "run.sh: the program ended early with status $status" >&2
  cat "$trace" >&2
  exit 1
}
# The start page's load, then a few seconds for its scripts and pictures.
loaded=""
for _ in $(seq 200); do
  if grep -q "load finished: .*/html/index.html" "$trace" 2>/dev/null; then
    loaded=yes
    break
  fi
  kill -0 "$app" 2>/dev/null || ended_early
  sleep 0.1
done
[ -n "$loaded" ] || echo "run.sh: the start page did not finish loading within 20 s" >&2
sleep "$seconds"
kill -0 "$app" 2>/dev/null || ended_early
import -window root "$shot"
echo "Screenshot saved as $shot"
