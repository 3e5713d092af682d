#!/usr/bin/env bash
# The window manager's close (WM_DELETE_WINDOW) of the calendar with an unsaved layout page: the
# page's question comes while the calendar is still shown, "キャンセル" keeps the program running
# and nothing written; SIGTERM then writes the page to the recovery file and the three files, and
# ends. At the next start the page is offered back; SIGTERM while a second close's question is
# open ends the program the same way.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
wm_delete=${3:?path of sorvel_wm_delete}

install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=500\r\nLeft=900\r\n[YoteiSet]\r\nYoDisp=0\r\n[LayoutSet]\r\nTop=10\r\nLeft=10\r\nWidth=700\r\nHeight=560\r\nDisp=1\r\n' >"$prog/sorvel.ini"
printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
"$write_state" "$prog/SorvelSt.dat" 2001 8
start_xvfb

shot() { [[ -n "${SORVEL_E2E_SHOTS:-}" ]] && import -window root "$SORVEL_E2E_SHOTS/$1" 2>/dev/null; return 0; }
# Every save replaces its file: a new inode.
inodes() { stat -c %i "$prog/sorvel.ini" "$prog/SorvelSt.dat" "$prog/Sorvel.dat" | tr '\n' ' '; }
question=$(printf '{"caption":"メッセージ","text":"レイアウトは変更されています。\\n保存しますか？"}')
wait_question() {
  local q
  q=$(wait_window '^メッセージ$' 10) || { shot "$1"; fail "no question after the window manager's close"; }
  sleep 0.5
  echo "$q"
}
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

SORVEL_MESSAGE_LOG="$E2E_TMP/messages" start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
lw=$(wait_window '^レイアウトウィンドウ$' 10) || fail "the layout window did not open at start"
sleep 0.5
# オブジェクト(&O) → テキスト(&T), then a click on the page: an unsaved text object.
press "$lw" alt+o; sleep 0.3; xdotool key t; sleep 0.3
xdotool mousemove --window "$lw" 100 150 click 1
sleep 0.5
before=$(inodes)

"$wm_delete" "$main" || fail "the close request could not be sent"
q=$(wait_question wm-close-no-question.png)
visible '^Sorvel$' || { shot wm-close-hidden.png; fail "the calendar went away before the question was answered"; }
shot wm-close-question.png
grep -qxF "$question" "$E2E_TMP/messages" || fail "not the layout question: $(cat "$E2E_TMP/messages")"
press "$q" Escape  # the box's キャンセル
sleep 1
visible '^メッセージ$' && fail "the question stayed open after キャンセル"
kill -0 "$pid" 2>/dev/null || fail "the program ended after キャンセル"
visible '^Sorvel$' || { shot wm-close-cancelled.png; fail "the calendar is not shown after キャンセル"; }
visible '^レイアウトウィンドウ$' || fail "the layout window closed after キャンセル"
shot wm-close-cancelled.png
[[ "$(inodes)" == "$before" ]] || fail "キャンセル wrote files"
[[ -e "$prog/Sorvel-recovery.sla" ]] && fail "a recovery file before the termination"
kill -TERM "$pid"
wait_exit "$pid" 10 || { shot wm-close-sigterm.png; fail "SIGTERM after the cancelled close did not end the program"; }
after=$(inodes)
for i in 1 2 3; do
  [[ "$(cut -d' ' -f$i <<<"$after")" != "$(cut -d' ' -f$i <<<"$before")" ]] || fail "file $i of the three not written at SIGTERM"
done
python3 - "$prog/Sorvel-recovery.sla" <<'PY' || fail "the recovery file does not hold the text object"
import re, sys
data = open(sys.argv[1], 'rb').read()
assert data.startswith(b'<+SoLay>\0<+M06>\r\n'), data[:20]
kinds = re.findall(rb'<\+M07>\r\n(?:<\+S0[1-4]>\r\n<\+DA>-?\d+<-DA><-S0[1-4]>\r\n){4}<\+S05>\r\n<\+DA>(\d)<-DA>', data)
sys.exit(0 if kinds == [b'3'] else 1)
PY

# The next start offers the page back (はい, the default button); the close's question is
# still open when SIGTERM comes.
: >"$E2E_TMP/messages"
SORVEL_MESSAGE_LOG="$E2E_TMP/messages" start_sorvel log2
offer=$(wait_window '^メッセージ$' 60) || fail "the recovered page was not offered"
sleep 0.5
press "$offer" Return
main=$(wait_window '^Sorvel$' 20) || fail "calendar window not shown at the second start"
sleep 1
rm "$prog/Sorvel-recovery.sla"
before=$(inodes)
"$wm_delete" "$main" || fail "the close request could not be sent"
wait_question wm-close-second.png >/dev/null
kill -TERM "$pid"
wait_exit "$pid" 10 || { shot wm-close-sigterm-asked.png; fail "SIGTERM under the open question did not end the program"; }
[[ -s "$prog/Sorvel-recovery.sla" ]] || fail "SIGTERM under the open question did not keep the page"
[[ "$(inodes)" != "$before" ]] || fail "SIGTERM under the open question wrote nothing"
echo "wm close: ok"
