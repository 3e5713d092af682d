#!/usr/bin/env bash
# The layout window: opened from the calendar's menu, a calendar and a text object placed with
# the mouse, the calendar moved, the page saved as a.sla through the real save dialog; the
# program closed and started again, a.sla opened through the real open dialog and printed to a
# PDF through the print dialog; the printed page holds both objects where they were placed.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
source "$(dirname "$0")/print_setup.sh"
setup_print

install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=500\r\nLeft=900\r\n[YoteiSet]\r\nYoDisp=0\r\n[LayoutSet]\r\nTop=10\r\nLeft=10\r\nWidth=700\r\nHeight=560\r\nDisp=0\r\n' >"$prog/sorvel.ini"
printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
"$write_state" "$prog/SorvelSt.dat" 2001 9
start_xvfb

start() {
  start_sorvel
  main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
  sleep 0.5
}
# Drags with the left button through the given window points.
drag() {
  local id=$1 x y; shift
  xdotool mousemove --window "$id" $1 $2 mousedown 1; shift 2
  while (($#)); do x=$1 y=$2; shift 2; xdotool mousemove --window "$id" "$x" "$y"; sleep 0.1; done
  xdotool mouseup 1
  sleep 0.3
}
# Types a path into the file dialog titled $1 and accepts it.
answer_file_dialog() {
  local d
  d=$(wait_window "$1" 10) || fail "the dialog \"$1\" did not open"
  sleep 0.5
  xdotool windowfocus --sync "$d"
  sleep 0.3
  xdotool type --delay 20 "$2"
  xdotool key Return
  for _ in $(seq 50); do xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done
  fail "the dialog \"$1\" stayed open"
}

start
xdotool search --onlyvisible --name '^レイアウトウィンドウ$' >/dev/null 2>&1 && fail "the layout window opened though it was closed"
# ウィンドウ(&W) → レイアウトウィンドウ(&L)
press "$main" space
sleep 0.5
xdotool key w
sleep 0.3
xdotool key l
lw=$(wait_window '^レイアウトウィンドウ$' 10) || fail "the layout window did not open from the menu"
sleep 0.5

# The page begins below the menu bar (window y 18). オブジェクト(&O) → カレンダー(&C): a
# rectangle dragged out; → テキスト(&T): a click, a 50 × 50 text.
press "$lw" alt+o; sleep 0.3; xdotool key c; sleep 0.3
drag "$lw" 30 50 100 100 200 150 300 250
press "$lw" alt+o; sleep 0.3; xdotool key t; sleep 0.3
xdotool mousemove --window "$lw" 100 350 click 1
sleep 0.3
# The calendar moved by 20, 40.
drag "$lw" 150 150 155 160 165 180 170 190
import -window "$lw" "$E2E_TMP/layout.png" 2>/dev/null || fail "no screenshot of the layout window"
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && cp "$E2E_TMP/layout.png" "$SORVEL_E2E_SHOTS/layout-window.png"

press "$lw" ctrl+s
answer_file_dialog '^名前を付けて保存$' "$prog/a"
for _ in $(seq 50); do [[ -s "$prog/a.sla" ]] && break; sleep 0.1; done
[[ -s "$prog/a.sla" ]] || { import -window root "$E2E_TMP/after-save.png"; [[ -n "${SORVEL_E2E_SHOTS:-}" ]] &&
  cp "$E2E_TMP/after-save.png" "$SORVEL_E2E_SHOTS/"; ls -la "$prog" >&2; fail "a.sla was not written"; }
python3 - "$prog/a.sla" <<'PY' || fail "a.sla does not hold the calendar and the text"
import re, sys
data = open(sys.argv[1], 'rb').read()
assert data.startswith(b'<+SoLay>\0<+M06>\r\n') and data.endswith(b'<-M06>\r\n<-SoLay>\0'), data[:20]
kinds = re.findall(rb'<\+M07>\r\n(?:<\+S0[1-4]>\r\n<\+DA>-?\d+<-DA><-S0[1-4]>\r\n){4}<\+S05>\r\n<\+DA>(\d)<-DA>', data)
print("kinds in a.sla:", kinds)
sys.exit(0 if kinds == [b'1', b'3'] else 1)
PY

# 閉じる(&X) ends the program without a question: the page was saved.
press "$main" space
sleep 0.5
xdotool key x
wait_exit "$pid" 20 || fail "the program did not end after 閉じる(&X)"

start
lw=$(wait_window '^レイアウトウィンドウ$' 10) || fail "the layout window did not come back at the next start"
sleep 0.5
press "$lw" ctrl+o
answer_file_dialog '^開く$' "$prog/a.sla"
sleep 0.5
press "$lw" ctrl+p
dialog=$(wait_window '^印刷$' 20) || fail "the print dialog did not open"
sleep 0.5
press "$dialog" Return
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^印刷$' >/dev/null 2>&1 || break
  sleep 0.1
done
wait_printed_pdf "Sorvel - レイアウト"
[[ "$(pdfinfo "$submitted" | sed -n 's/^Title: *//p')" == "Sorvel - レイアウト" ]] ||
  fail "the document's title: $(pdfinfo "$submitted" | grep Title)"
[[ "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')" == 1 ]] || fail "the printed PDF has not one page"

# On the page: the calendar's grey box with its red and blue days in the upper left, the text's
# empty box below it, and no blue selection frame.
pdftoppm -r 50 "$pdf" "$E2E_TMP/page"
page=$(ls "$E2E_TMP"/page*.ppm | head -n 1)
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && convert "$page" "$SORVEL_E2E_SHOTS/layout-printed-page.png"
count() { convert "$1" -fuzz "${3:-15%}" -fill white +opaque "$2" -fill black -opaque "$2" -format '%[fx:int((1-mean)*w*h+0.5)]' info:; }
read -r gw gh gx gy pw ph <<<"$(convert "$page" -fuzz 3% -fill white +opaque 'rgb(192,192,192)' -trim \
  -format '%w %h %X %Y %[fx:page.width] %[fx:page.height]' info: | tr -d '+')"
echo "calendar on the page: ${gw}x${gh} at $gx,$gy of ${pw}x${ph}"
# Placed from view 30,32 to 300,232 (the page 383 pixels wide on screen), moved by 20, 40.
awk -v w="$gw" -v x="$gx" -v y="$gy" -v pw="$pw" 'BEGIN {
  exit !(w > pw * 0.6 && w < pw * 0.8 && x > pw * 0.08 && x < pw * 0.18 && y > pw * 0.12 && y < pw * 0.24) }' ||
  fail "the calendar is not where it was placed: ${gw}x${gh} at $gx,$gy"
for colour in red blue; do
  (($(count "$page" $colour 40%) > 20)) || fail "the calendar's $colour days are missing on the page"
done
# A frame round the calendar would be hundreds of pixels; the edges of the blue digits are a few.
(($(count "$page" 'rgb(50,50,200)' 5%) < 50)) || fail "a selection frame was printed"
# The text's box (a frame with its diagonal) below the calendar, whose height is 200/270 of its
# width: dark pixels there.
ty=$((gy + gw * 78 / 100))
(($(convert "$page" -crop "${pw}x$((ph - ty))+0+$ty" +repage -colorspace gray -threshold 90% \
   -format '%[fx:int((1-mean)*w*h+0.5)]' info:) > 40)) || fail "the text object is missing below the calendar"

kill "$pid"; wait_exit "$pid" 10 || fail "the program did not end"
echo "layout page: ok"
