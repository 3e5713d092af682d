#!/usr/bin/env bash
# The schedule list: opened from the calendar's menu, a year node selected, two of its notes
# dragged onto a month node and the question confirmed; the data file holds both notes on their
# new dates at once (31 July becomes 30 April, as April has 30 days).
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=400\r\nLeft=600\r\n[YoteiSet]\r\nYoteiWidth=560\r\nYoteiHeight=360\r\nYoteiX=20\r\nYoteiY=20\r\nYoDisp=0\r\n' >"$prog/sorvel.ini"
"$write_state" "$prog/SorvelSt.dat" 2001 9
write_notes "$prog/Sorvel.dat" "1999 7 7 tanabata" "1999 7 31 summer" "2001 5 3 meeting"
start_xvfb

start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 0.5
xdotool search --onlyvisible --name '^予定一覧$' >/dev/null 2>&1 && fail "the schedule list opened though it was closed"

# ウィンドウ(&W) → 予定表示ウィンドウ(&S)
press "$main" space
sleep 0.5
xdotool key w
sleep 0.3
xdotool key s
list=$(wait_window '^予定一覧$' 10) || fail "the schedule list did not open from the menu"
sleep 0.5

# Rows are 14 pixels high: the root "日付" at y 7, "1999年" at 21, its months from 35; the list
# starts right of the 150-pixel tree and its 3-pixel splitter, its first row at y 25.
xdotool mousemove --window "$list" 63 21 click 1        # 1999年
sleep 0.5
xdotool mousemove --window "$list" 220 25 click 1        # tanabata
xdotool keydown shift mousemove --window "$list" 220 39 click 1 keyup shift   # and summer
sleep 0.3
xdotool mousemove --window "$list" 220 25 mousedown 1
for x in 210 190 160 130 100 80 72; do xdotool mousemove --window "$list" "$x" 77; sleep 0.1; done  # onto 4月
sleep 0.3
xdotool mouseup 1
box=$(wait_window '^メッセージ$' 10) || fail "the drop asked no question"
press "$box" Return
sleep 1

python3 - "$prog/Sorvel.dat" <<'PY' || fail "the notes did not move to April 1999 in the data file"
import re, sys
data = open(sys.argv[1], 'rb').read()
notes = re.findall(rb'<\+M03>\r\n<\+S01>\r\n<\+DA>(\d+)<-DA><-S01>\r\n<\+S02>\r\n<\+DA>(\d+)<-DA><-S02>\r\n'
                   rb'<\+S03>\r\n<\+DA>(\d+)<-DA><-S03>\r\n<\+S04>\r\n<\+DA>[^<]*<-DA><-S04>\r\n<\+S05>\r\n<\+DA>([^<]*)<-DA>', data)
found = sorted((c.decode(), int(y), int(m), int(d)) for y, m, d, c in notes)
expected = [('meeting', 2001, 5, 3), ('summer', 1999, 4, 30), ('tanabata', 1999, 4, 7)]
print(found)
sys.exit(0 if found == expected else 1)
PY
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "schedule list drag: ok"
