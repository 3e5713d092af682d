# Shared helpers for end-to-end tests: a private Xvfb server and xdotool waits.
set -Eeuo pipefail
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
# A command that fails outside a check ends the test too (set -e): say which one.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

fail() {
  echo "FAIL: $*" >&2
  for log in "$E2E_TMP"/log*; do
    [[ -s "$log" ]] && { echo "--- $(basename "$log"):" >&2; cat "$log" >&2; }
  done
  # A calendar still running when a wait ran out: where each of its threads stands.
  local p
  for p in "${E2E_PIDS[@]}"; do
    [[ "$(cat "/proc/$p/comm" 2>/dev/null)" == sorvel ]] || continue
    echo "--- sorvel $p still running ($(awk '{print "state", $3}' "/proc/$p/stat")):" >&2
    timeout 60 gdb -batch -p "$p" -ex 'thread apply all bt 30' 2>&1 | grep -E '^(Thread|#)' >&2 ||
      echo "(gdb gave no stacks)" >&2
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
  local answered=
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && { answered=1; break; }
    sleep 0.05
  done
  [[ -n "$answered" ]] || fail "Xvfb display $DISPLAY does not answer"
  start_session_bus
}

# The session bus a desktop session has, the test's own (services it starts see the display).
# Without one every Qt program starts a bus for itself through dbus-launch, and the program's
# first window waits for that bus.
# Not forked: a test stopped from outside (CTest's timeout) takes its bus with it.
start_session_bus() {
  dbus-daemon --session --nofork --print-address=3 3>"$E2E_TMP/bus-address" </dev/null >/dev/null 2>"$E2E_TMP/log-bus" &
  E2E_PIDS+=($!)  # ended after the programs, before the X server
  for _ in $(seq 100); do
    [[ -s "$E2E_TMP/bus-address" ]] && break
    sleep 0.05
  done
  [[ -s "$E2E_TMP/bus-address" ]] || fail "dbus-daemon did not start a session bus"
  DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/bus-address")
  export DBUS_SESSION_BUS_ADDRESS
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

# A copy of the program in its own program directory, $prog, where it keeps its three files,
# with the feature libraries it loads on first use from its own folder.
install_copy() {
  prog="$E2E_TMP/Sorvel"
  mkdir -p "$prog"
  cp "$1" "$prog/sorvel"
  cp "$(dirname "$1")"/libsorvel-*.so "$prog/"
}

# install_copy, then its files: sorvel.ini from the printf format $3 (empty: none), an empty
# data file and the default appearance from sorvel_write_state $2, showing the month $4 $5 when
# given ($6 "frame": with the frame around today).
prepare_copy() {
  install_copy "$1"
  [[ -n "$3" ]] && printf "$3" >"$prog/sorvel.ini"
  printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
  "$2" "$prog/SorvelSt.dat" "${@:4}"
}

# A window manager that reparents its windows, on the display started by start_xvfb.
# openbox names itself on the root window before it has finished starting, and a window mapped
# in between is never managed, nor shown: it is running once a probe window of its own is shown.
start_openbox() {
  openbox --sm-disable >"$E2E_TMP/log-openbox" 2>&1 &
  E2E_PIDS+=($!)
  local probe
  for _ in $(seq 20); do
    xmessage -title sorvel-wm-probe probe >/dev/null 2>&1 &
    probe=$!
    if wait_window '^sorvel-wm-probe$' 1 >/dev/null; then
      kill "$probe"
      wait_gone '^sorvel-wm-probe$' 5 || fail "the window manager's probe window stayed"
      return 0
    fi
    kill "$probe"
  done
  fail "openbox did not start: no window it was given was shown"
}

# Waits up to $2 seconds for every window whose name matches $1 to be gone.
wait_gone() {
  for _ in $(seq $(($2 * 10))); do
    xdotool search --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# "left top" of window $1 on the screen.
window_position() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([-0-9]*\),\([-0-9]*\).*/\1 \2/p'; }

# Starts the copy in $prog in the background, its output added to $E2E_TMP/<log> (default log);
# sets $pid. Variables assigned before the call reach the program's environment.
start_sorvel() {
  "$prog/sorvel" >>"$E2E_TMP/${1:-log}" 2>&1 &
  pid=$!
  E2E_PIDS+=($pid)
}

# A note with the title $2 added on 15 August 2001 through the day dialog of the calendar window
# $1 showing August 2001 at 640 × 480 (a Wednesday in week row 3, cells 80 × 53); the dialogs
# must have closed afterwards.
add_note_on_15_august() {
  local main=$1 caption=$2 day memo
  xdotool mousemove --window "$main" 320 291 click --repeat 2 --delay 80 1
  day=$(wait_window '^8月15日の予定$' 10) || fail "the day dialog did not open"
  xdotool mousemove --window "$day" 54 180 click 1             # 予定追加
  memo=$(wait_window '^予定追加$' 10) || fail "the note editor did not open"
  xdotool mousemove --window "$memo" 100 33 click 1            # 見だし
  xdotool type --delay 20 "$caption"
  xdotool mousemove --window "$memo" 150 190 click 1           # 決定
  sleep 0.5
  xdotool search --onlyvisible --name '^予定追加$' >/dev/null 2>&1 && fail "the note editor stayed open"
  xdotool mousemove --window "$day" 156 218 click 1            # 閉じる
  sleep 0.8
  xdotool search --onlyvisible --name '^8月15日の予定$' >/dev/null 2>&1 && fail "the day dialog stayed open"
  return 0
}

# Writes the data file $1 holding one note (text "text") for each further argument
# "year month day caption", in the order given.
write_notes() {
  local file=$1
  shift
  python3 - "$file" "$@" <<'PY'
import sys
def field(n, v):
    return b'<+S%02d>\r\n<+DA>' % n + v + b'<-DA><-S%02d>\r\n' % n
def note(y, m, d, caption):
    return (b'<+M03>\r\n' + field(1, b'%d' % y) + field(2, b'%d' % m) + field(3, b'%d' % d)
            + field(4, b'text') + field(5, caption) + b'<-M03>\r\n')
notes = b''
for entry in sys.argv[2:]:
    y, m, d, caption = entry.split(' ', 3)
    notes += note(int(y), int(m), int(d), caption.encode())
open(sys.argv[1], 'wb').write(b'<+Sorvel>\0' + notes + b'<-Sorvel>\0')
PY
}

# Checks which day cells of calendar window $1 (640 × 480: cells 80 × 53 from (40, 105)) are in
# the note colour (purple): each further argument is "col,row" for a coloured cell or "!col,row"
# for one that is not. Prints what it saw when that differs.
note_cells() {
  local id=$1; shift
  import -window "$id" -depth 8 "$E2E_TMP/cells.ppm" || return 1
  /usr/bin/python3 - "$E2E_TMP/cells.ppm" "$@" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
parts = data.split(maxsplit=4)
if parts[3] != b"255": sys.exit("not 8 bits per sample")
w, px = int(parts[1]), parts[4]
def purple(col, row):
    x0, y0 = 40 + 80 * col, 105 + 53 * row
    n = 0
    for y in range(y0, y0 + 53):
        for x in range(x0, x0 + 80):
            r, g, b = px[3 * (y * w + x):3 * (y * w + x) + 3]
            n += r > 90 and b > 90 and g < 40
    return n > 20
want = {tuple(int(v) for v in a.lstrip('!').split(',')): not a.startswith('!') for a in sys.argv[2:]}
got = {k: purple(*k) for k in want}
sys.exit(0 if got == want else f'{got}')
PY
}
