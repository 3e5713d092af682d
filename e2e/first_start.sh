#!/usr/bin/env bash
# A fresh installation: the two messages, the space key and "閉じる(&X)", the three files on disk,
# and a second start that shows no message.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
install_copy "$bin"
start_xvfb

"$prog/sorvel" >"$E2E_TMP/log1" 2>&1 &
pid=$!
E2E_PIDS+=($pid)

for expected in "状態保存ファイル" "データ保存ファイル"; do
  box=$(wait_window '^メッセージ$' 60) || fail "message \"$expected\" not shown"
  import -window "$box" "$E2E_TMP/box.png" 2>/dev/null || true
  press "$box" Return
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^メッセージ$' 2>/dev/null | grep -qx "$box" || break
    sleep 0.1
  done
done

main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
geometry=$(xdotool getwindowgeometry "$main")
grep -q 'Geometry: 640x480' <<<"$geometry" || fail "window is not 640x480: $geometry"
import -window root "$E2E_TMP/first.png"

press "$main" space
sleep 0.5
menu=$(xdotool search --onlyvisible --class sorvel 2>/dev/null | grep -vx "$main" | tail -n 1 || true)
[[ -n "$menu" ]] || fail "the space key opened no menu"
xdotool key x
wait_exit "$pid" 10 || fail "閉じる(&X) did not end the program"

[[ -f "$prog/sorvel.ini" ]] || fail "sorvel.ini not written"
[[ -f "$prog/SorvelSt.dat" ]] || fail "SorvelSt.dat not written"
[[ -f "$prog/Sorvel.dat" ]] || fail "Sorvel.dat not written"
grep -q '^Version=1.2' "$prog/sorvel.ini" || fail "sorvel.ini holds no Version=1.2"
head -c 8 "$prog/SorvelSt.dat" | grep -q '<+M01>' || fail "SorvelSt.dat is not a state file"
printf '<+Sorvel>\0<-Sorvel>\0' | cmp -s - "$prog/Sorvel.dat" || fail "Sorvel.dat is not an empty data file"

"$prog/sorvel" >"$E2E_TMP/log2" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
wait_window '^Sorvel$' 60 >/dev/null || fail "second start shows no calendar window"
sleep 1
if xdotool search --onlyvisible --name '^メッセージ$' >/dev/null 2>&1; then fail "second start showed a message"; fi
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "first start: ok"
