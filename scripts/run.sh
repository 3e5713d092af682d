#!/usr/bin/env bash
# Starts the built Sorvel. Without a display it starts an Xvfb server, runs Sorvel there, saves a
# screenshot to build/screenshot.png a few seconds after start-up and keeps running until
# interrupted.
set -euo pipefail
build=${1:-build}
bin="$build/src/sorvel"
[[ -x "$bin" ]] || { echo "not built: $bin" >&2; exit 1; }

if [[ -n "${DISPLAY:-}" ]]; then
  exec "$bin"
fi

display=:$(( 90 + RANDOM % 400 ))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
sorvel_pid=""
cleanup() {
  [[ -n "$sorvel_pid" ]] && kill "$sorvel_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY=$display
"$bin" &
sorvel_pid=$!
sleep 3
import -window root "$build/screenshot.png"
echo "Sorvel is running on Xvfb display $display (pid $sorvel_pid)."
echo "Screenshot: $(cd "$build" && pwd)/screenshot.png"
echo "Press Ctrl+C to stop."
wait "$sorvel_pid"
