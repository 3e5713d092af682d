#!/usr/bin/env bash
# Under a window manager that reparents its windows (openbox), the calendar starts where it was
# left and the position saved at the end is where it stood, start after start.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
prepare_copy "$bin" "$write_state" '[SorvelSetting]\r\nVersion=1.2\r\nTop=100\r\nLeft=150\r\n' 2001 9
start_xvfb
start_openbox

stored() { tr -d '\r' <"$prog/sorvel.ini" | awk -F= '/^\[/{s=$0} s=="[SorvelSetting]"&&($1=="Left"||$1=="Top"){v[$1]=$2} END{print v["Left"], v["Top"]}'; }
for run in 1 2 3 4 5 6; do
  start_sorvel "log$run"
  main=$(wait_window '^Sorvel$' 60) || fail "run $run: calendar window not shown"
  sleep $((run % 3)).5
  shown=$(xwininfo -id "$main" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
  [[ "$shown" == "150 100" ]] || fail "run $run: the calendar stands at $shown, not at 150 100"
  kill "$pid"; wait_exit "$pid" 10 || fail "run $run: SIGTERM did not end the program"
  [[ "$(stored)" == "150 100" ]] || fail "run $run: the position saved is $(stored), where the calendar stood at 150 100"
done
echo "window manager position: ok"
