#!/usr/bin/env bash
# Working the calendar: a drag that snaps to the left edge, a corner press that steps the month,
# a double click on a day that opens the day dialog, a note added through it, and the data file
# holding that note as soon as the dialog has closed.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nAdsorption=1\r\nLengthAdsorp=15\r\nTop=200\r\nLeft=200\r\n' >"$prog/sorvel.ini"
printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
"$write_state" "$prog/SorvelSt.dat" 2001 9
start_xvfb

start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 0.5
position() { window_position "$main"; }
[[ "$(position)" == "200 200" ]] || fail "window not at its stored position: $(position)"

# Drag from (300, 300) inside the window 190 pixels left: its left edge would land at 10, within
# the snap distance 15, so it goes to 0.
xdotool mousemove 500 500 mousedown 1
xdotool mousemove 400 500
xdotool mousemove 310 500
sleep 0.2
xdotool mouseup 1
sleep 0.3
read -r left top <<<"$(position)"
[[ "$left" == 0 && "$top" == 200 ]] || fail "drag did not snap to the left edge: $left $top"

# A press in the top-left corner steps back to August 2001.
xdotool mousemove --window "$main" 5 5 click 1
sleep 0.3

add_note_on_15_august "$main" meeting

# The data file was written when the dialog closed, before any "閉じる(&X)".
grep -aq 'meeting' "$prog/Sorvel.dat" || fail "the note is not in the data file"
python3 - "$prog/Sorvel.dat" <<'PY' || fail "the note is not on 15 August 2001"
import re, sys
data = open(sys.argv[1], 'rb').read()
m = re.search(rb'<\+M03>\r\n<\+S01>\r\n<\+DA>2001<-DA><-S01>\r\n<\+S02>\r\n<\+DA>8<-DA><-S02>\r\n<\+S03>\r\n<\+DA>15<-DA><-S03>\r\n<\+S04>\r\n<\+DA>[^<]*<-DA><-S04>\r\n<\+S05>\r\n<\+DA>meeting<-DA>', data)
sys.exit(0 if m else 1)
PY
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "day note: ok"
