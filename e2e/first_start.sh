#!/usr/bin/env bash
# A fresh installation: the two messages, the space key and "閉じる(&X)", the three files on disk,
# and a second start that shows no message.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
install_copy "$bin"
start_xvfb

SORVEL_MESSAGE_LOG="$E2E_TMP/messages" start_sorvel log1

for n in 1 2; do
  box=$(wait_window '^メッセージ$' 60) || fail "message $n not shown"
  press "$box" Return
  closed=
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^メッセージ$' 2>/dev/null | grep -qx "$box" || { closed=1; break; }
    sleep 0.1
  done
  [[ -n "$closed" ]] || fail "message $n did not close on Return"
done
python3 - "$E2E_TMP/messages" "$prog" <<'PY' || fail "the first-start messages differ"
import json, sys
shown = [json.loads(line) for line in open(sys.argv[1], encoding='utf-8')]
prog = sys.argv[2]
expected = [
    {"caption": "メッセージ", "text": "状態保存ファイル\n" + prog + "/SorvelSt.dat を作成します。"},
    {"caption": "メッセージ", "text": "データ保存ファイル\n" + prog + "/Sorvel.dat を作成します。"},
]
if shown != expected:
    print("shown:", shown, file=sys.stderr)
    sys.exit(1)
PY

main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
geometry=$(xdotool getwindowgeometry "$main")
grep -q 'Geometry: 640x480' <<<"$geometry" || fail "window is not 640x480: $geometry"

# The menu is a window that was not there before the key and opens at the calendar's corner.
at() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([-0-9]*,[-0-9]*\).*/\1/p'; }
before=$(xdotool search --onlyvisible --class sorvel 2>/dev/null | sort || true)
press "$main" space
sleep 0.5
menu=
for w in $(xdotool search --onlyvisible --class sorvel 2>/dev/null | sort | comm -13 <(echo "$before") -); do
  [[ "$(at "$w")" == "$(at "$main")" ]] && menu=$w
done
[[ -n "$menu" ]] || fail "the space key opened no menu at the calendar's corner"
xdotool key x
wait_exit "$pid" 10 || fail "閉じる(&X) did not end the program"

[[ -f "$prog/sorvel.ini" ]] || fail "sorvel.ini not written"
[[ -f "$prog/SorvelSt.dat" ]] || fail "SorvelSt.dat not written"
[[ -f "$prog/Sorvel.dat" ]] || fail "Sorvel.dat not written"
grep -q '^Version=1.2' "$prog/sorvel.ini" || fail "sorvel.ini holds no Version=1.2"
head -c 8 "$prog/SorvelSt.dat" | grep -q '<+M01>' || fail "SorvelSt.dat is not a state file"
printf '<+Sorvel>\0<-Sorvel>\0' | cmp -s - "$prog/Sorvel.dat" || fail "Sorvel.dat is not an empty data file"

SORVEL_MESSAGE_LOG="$E2E_TMP/messages2" start_sorvel log2
wait_window '^Sorvel$' 60 >/dev/null || fail "second start shows no calendar window"
sleep 1
[[ ! -e "$E2E_TMP/messages2" ]] || fail "second start showed a message: $(cat "$E2E_TMP/messages2")"
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "first start: ok"
