#!/usr/bin/env bash
# A copy of the program in a directory whose name Shift-JIS cannot hold ("dé"): a note added
# through the day dialog is saved, "閉じる(&X)" ends the program, and the second start shows
# the day in the colour of days with notes.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
prog="$E2E_TMP/dé"
mkdir -p "$prog"
cp "$bin" "$prog/sorvel"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=100\r\nLeft=100\r\n' >"$prog/sorvel.ini"
"$write_state" "$prog/SorvelSt.dat" 2001 8
start_xvfb

# Pixels of the colour of days with notes, purple #800080, which nothing else uses by default.
purple_pixels() {  # window id, screenshot name
  import -window "$1" -depth 8 "rgb:$E2E_TMP/$2.rgb"
  python3 -c 'import sys; d = open(sys.argv[1], "rb").read()
print(sum(d[i:i + 3] == b"\x80\x00\x80" for i in range(0, len(d), 3)))' "$E2E_TMP/$2.rgb"
}

start_sorvel log1
# No data file yet: the message that it will be created.
box=$(wait_window '^メッセージ$' 60) || fail "the new data file was not announced"
press "$box" Return
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 0.5
[[ "$(purple_pixels "$main" before)" == 0 ]] || fail "a day is coloured as having a note before any was added"

add_note_on_15_august "$main" meeting
grep -aq 'meeting' "$prog/Sorvel.dat" || fail "the note is not in $prog/Sorvel.dat"

press "$main" space
sleep 0.5
xdotool key x                                                # 閉じる(&X)
wait_exit "$pid" 10 || fail "閉じる(&X) did not end the program"
grep -aq $'^MemoFileName=Sorvel.dat\r$' "$prog/sorvel.ini" || fail "the ini file names another data file"

start_sorvel log2
main=$(wait_window '^Sorvel$' 60) || fail "second start shows no calendar window"
sleep 1
if xdotool search --onlyvisible --name '^メッセージ' >/dev/null 2>&1; then fail "second start showed a message"; fi
[[ "$(purple_pixels "$main" after)" -gt 20 ]] || fail "the day with the note is not coloured on the second start"
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "unicode directory: ok"
