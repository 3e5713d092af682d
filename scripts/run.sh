#!/usr/bin/env bash
# Starts the built Sorvel. Without a display it starts an Xvfb server, runs Sorvel there, answers
# the messages of a first start (no settings or data files yet) as a person would with Enter,
# saves a screenshot of the calendar to build/screenshot.png and keeps running until interrupted.
set -euo pipefail
build=${1:-build}
bin="$build/src/app/sorvel"
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

# Message boxes of the start carry one of these captions.
messages='^(メッセージ|エラー|メッセージ from Sorvel)$'
calendar_shown=0
quiet=0
for _ in $(seq 300); do
  kill -0 "$sorvel_pid" 2>/dev/null || { echo "Sorvel ended during its start" >&2; exit 1; }
  box=$(xdotool search --onlyvisible --name "$messages" 2>/dev/null | head -n 1 || true)
  if [[ -n "$box" ]]; then
    echo "Answering: $(xdotool getwindowname "$box" 2>/dev/null || true)"
    xdotool windowfocus --sync "$box" 2>/dev/null || xdotool windowfocus "$box" 2>/dev/null || true
    xdotool key Return
    quiet=0
    sleep 0.3
    continue
  fi
  if xdotool search --onlyvisible --name '^Sorvel$' >/dev/null 2>&1; then
    calendar_shown=1
    # The calendar stood for a second with no message in front of it.
    ((++quiet >= 10)) && break
  fi
  sleep 0.1
done
((calendar_shown)) || { echo "the calendar window did not appear" >&2; exit 1; }
import -window root "$build/screenshot.png"
echo "Sorvel is running on Xvfb display $display (pid $sorvel_pid)."
echo "Screenshot: $(cd "$build" && pwd)/screenshot.png"
echo "Press Ctrl+C to stop."
wait "$sorvel_pid"
