#!/usr/bin/env bash
# A right press opens the context menu, which takes the release; after Escape the pointer moves
# on with no button held, and the calendar stays where it was.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
prepare_copy "$bin" "$write_state" '[SorvelSetting]\r\nVersion=1.2\r\nTop=200\r\nLeft=200\r\n' 2001 9
start_xvfb
start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 0.5
position() { window_position "$main"; }
[[ "$(position)" == "200 200" ]] || fail "window not at its stored position: $(position)"

xdotool mousemove 400 400 mousedown 3
sleep 0.5
xdotool mouseup 3
xdotool search --onlyvisible --class sorvel 2>/dev/null | grep -vqx "$main" || fail "the context menu did not open"
xdotool key Escape
sleep 0.3
for x in 450 500 550 600 625; do xdotool mousemove "$x" 420; sleep 0.05; done
sleep 0.3
[[ "$(position)" == "200 200" ]] || fail "the calendar followed the pointer after its menu: $(position)"
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "menu drag: ok"
