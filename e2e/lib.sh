# Shared helpers for end-to-end tests: a private Xvfb server and xdotool waits.
set -euo pipefail
unset QT_QPA_PLATFORM  # the real xcb platform, not the offscreen one the unit tests use

E2E_TMP=$(mktemp -d)
E2E_PIDS=()
e2e_cleanup() {
  # The programs first, each given time to end, then the X server they talk to.
  local i p
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    p=${E2E_PIDS[$i]}
    kill "$p" 2>/dev/null || continue
    for _ in $(seq 50); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
  done
  wait 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$E2E_TMP"/log*; do
    [[ -s "$log" ]] && { echo "--- $(basename "$log"):" >&2; cat "$log" >&2; }
  done
  exit 1
}

start_xvfb() {
  # Xvfb picks a free display itself and tells us which. Without -noreset the server resets
  # whenever its last client leaves, and a program connecting just then is refused.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$E2E_TMP/display" >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  for _ in $(seq 100); do
    [[ -s "$E2E_TMP/display" ]] && break
    sleep 0.05
  done
  [[ -s "$E2E_TMP/display" ]] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "Xvfb display $DISPLAY does not answer"
}

# Waits up to $2 seconds (default 10) for a visible window whose name matches $1; prints its id.
wait_window() {
  local name=$1 secs=${2:-10} id
  for _ in $(seq $((secs * 10))); do
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for process $1 to end.
wait_exit() {
  local pid=$1 secs=${2:-10}
  for _ in $(seq $((secs * 10))); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

press() {  # window id, keys...
  local id=$1; shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id" 2>/dev/null || true
  xdotool key "$@"
}

# A copy of the program in its own program directory, $prog, where it keeps its three files.
install_copy() {
  prog="$E2E_TMP/Sorvel"
  mkdir -p "$prog"
  cp "$1" "$prog/sorvel"
}
