#!/usr/bin/env bash
# Start-up of the real binary on Xvfb: exec to the calendar window mapped and painted, and the
# resident memory after start-up, in turn with a bare Qt window of the same size (the ratios are
# the figure to hold) and, when a reference build is given (an older commit built elsewhere),
# with that build's calendar too. Usage: bench/startup.sh [build dir] [runs] [reference build dir]
set -euo pipefail
# A desktop session has its bus: without one, every start of either program would launch a bus
# of its own (dbus-launch --autolaunch), which no logged-in user waits for.
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]] && command -v dbus-run-session >/dev/null; then
  exec dbus-run-session -- "$0" "$@"
fi
build=$(cd "${1:-build}" && pwd)  # absolute: the probe starts the programs from elsewhere
runs=${2:-15}
reference=${3:+$(cd "$3" && pwd)}
tmp=$(mktemp -d)
xvfb=""
trap '[[ -n "$xvfb" ]] && kill $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
unset QT_QPA_PLATFORM

# A program directory with the binary and the feature libraries beside it, where the build has
# them (an older build has none). An installed copy: the three files exist, so no first-start
# message appears. The schedule list and the layout window closed (SORVEL_ALL_WINDOWS=1 keeps
# them open, as a first start shows them), so the calendar alone stands beside the bare window.
program_dir() {
  mkdir -p "$2"
  cp "$1/src/app/sorvel" "$2/"
  for lib in "$1"/src/app/libsorvel-*.so; do [[ -e "$lib" ]] && cp "$lib" "$2/"; done
  printf '[SorvelSetting]\r\nVersion=1.2\r\n' >"$2/sorvel.ini"
  [[ -n "${SORVEL_ALL_WINDOWS:-}" ]] || printf '[YoteiSet]\r\nYoDisp=0\r\n[LayoutSet]\r\nDisp=0\r\n' >>"$2/sorvel.ini"
  printf '<+Sorvel>\0<-Sorvel>\0' >"$2/Sorvel.dat"
  "$build/e2e/sorvel_write_state" "$2/SorvelSt.dat"
}
program_dir "$build" "$tmp/calendar"
[[ -z "$reference" ]] || program_dir "$reference" "$tmp/reference"

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s "$tmp/display" ]] && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$tmp/display")"
"$build/bench/startup_probe" "$tmp/calendar/sorvel" "$tmp/calendar" "$runs" "$build/bench/bare_window" \
  ${reference:+"$tmp/reference/sorvel" "$tmp/reference"}
