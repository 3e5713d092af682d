#!/usr/bin/env bash
# The keyboard alone, under a window manager (openbox): the calendar has the focus from its
# start; Enter opens today's day dialog, a note is added and the dialog closed; the focus is
# back on the calendar; Space opens the menu, W S the schedule list, and its context menu key
# with P prints the list, which holds the note.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
source "$(dirname "$0")/print_setup.sh"
setup_print

prepare_copy "$bin" "$write_state" '[SorvelSetting]\r\nVersion=1.2\r\nTop=100\r\nLeft=150\r\n[YoteiSet]\r\nYoteiX=0\r\nYoteiY=0\r\nYoDisp=0\r\n[LayoutSet]\r\nDisp=0\r\n'
start_xvfb
start_openbox

active() { xdotool getactivewindow getwindowname 2>/dev/null || echo "(none)"; }
# Waits up to 10 s for the active window to be named $1.
wait_active() {
  for _ in $(seq 100); do
    [[ "$(active)" == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}
shot() { [[ -n "${SORVEL_E2E_SHOTS:-}" ]] && import -window root "$SORVEL_E2E_SHOTS/keyboard-$1.png"; return 0; }

start_sorvel
wait_window '^Sorvel$' 60 >/dev/null || fail "calendar window not shown"
wait_active Sorvel || fail "the calendar does not have the focus at start: $(active)"

# No window is named in what follows: the keys go where the focus is.
day_title="$(date +%-m)月$(date +%-d)日の予定"
xdotool key Return
wait_active "$day_title" || { shot day; fail "Enter did not open today's day dialog: $(active)"; }
xdotool key Tab space                            # 予定追加
wait_active 予定追加 || fail "the note editor did not open: $(active)"
xdotool type --delay 30 kbnote
xdotool key Tab Tab space                        # 決定
wait_active "$day_title" || fail "the note editor did not close: $(active)"
xdotool key Escape
wait_active Sorvel || { shot after-day; fail "after the day dialog the focus is not on the calendar: $(active)"; }
grep -aq '<+DA>kbnote<-DA>' "$prog/Sorvel.dat" || fail "the note is not in the data file"

xdotool key space
sleep 0.5
xdotool key w
sleep 0.3
xdotool key s                                    # 予定表示ウィンドウ(&S)
wait_active 予定一覧 || fail "the schedule list did not open: $(active)"
xdotool key Tab Menu
sleep 0.5
xdotool key p                                    # リスト印刷(&P)
wait_active 印刷 || { shot print; fail "the print dialog did not open: $(active)"; }
xdotool key Return
wait_printed_pdf "Sorvel 一覧印刷"
pdftotext "$submitted" - | grep -q kbnote || fail "the printed list lacks the note"
kill "$pid"; wait_exit "$pid" 10 || fail "the program did not end"
echo "keyboard: ok"
