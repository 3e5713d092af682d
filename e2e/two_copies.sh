#!/usr/bin/env bash
# Two copies: a second start on the same program directory brings the running calendar to the
# front and ends without touching a file; a copy in another program directory writing the same
# data file (as through a synced folder) loses no note, nor does the first.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=0\r\nLeft=0\r\n' >"$prog/sorvel.ini"
printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
"$write_state" "$prog/SorvelSt.dat" 2001 8
# The other program directory, its window over the first one's lower right, its data file the
# first one's.
other="$E2E_TMP/Other"
mkdir -p "$other"
cp "$bin" "$other/sorvel"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=200\r\nLeft=320\r\nMemoFileName=%s\r\n' "$prog/Sorvel.dat" >"$other/sorvel.ini"
"$write_state" "$other/SorvelSt.dat" 2001 8
start_xvfb

window_of() {  # the calendar window of process $1
  local id
  for _ in $(seq 600); do
    id=$(xdotool search --all --onlyvisible --pid "$1" --name '^Sorvel$' 2>/dev/null | head -n 1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
copies_of() {  # how many processes run the program file $1
  local n=0 p
  for p in /proc/[0-9]*; do [[ "$(readlink "$p/exe" 2>/dev/null)" == "$1" ]] && n=$((n + 1)); done
  echo "$n"
}
files_of() { (cd "$1" && find . -maxdepth 1 -type f -printf '%f %s %T@\n' | sort && md5sum ./* | sort); }
# Whether window $1 is above window $2: xwininfo lists the root's children top first.
above() {
  local list; list=$(xwininfo -root -children)
  (( $(grep -n "$(printf '0x%x' "$1") " <<<"$list" | cut -d: -f1) < $(grep -n "$(printf '0x%x' "$2") " <<<"$list" | cut -d: -f1) ))
}

SORVEL_MESSAGE_LOG="$E2E_TMP/messages" start_sorvel log1
first=$pid
main=$(window_of "$first") || fail "the first calendar not shown"
SORVEL_MESSAGE_LOG="$E2E_TMP/messages-other" prog=$other start_sorvel log2
second_dir=$pid
side=$(window_of "$second_dir") || fail "the other directory's calendar not shown"
sleep 0.5
above "$side" "$main" || fail "the other calendar is not over the first"
[[ -f "$prog/sorvel.lock" ]] || fail "the first copy holds no lock"

# A second start on the first directory: it ends by itself, status 0, and the first comes up.
before=$(files_of "$prog")
sleep 1.1  # a file the second start wrote would get a later time than any before
"$prog/sorvel" >>"$E2E_TMP/log3" 2>&1 &
again=$!
wait_exit "$again" 5 || fail "the second start did not end by itself"
status=0
wait "$again" || status=$?
[[ $status == 0 ]] || fail "the second start ended with status $status"
[[ $(copies_of "$prog/sorvel") == 1 ]] || fail "not one copy of the first directory runs: $(copies_of "$prog/sorvel")"
kill -0 "$first" || fail "the first copy ended"
[[ "$(files_of "$prog")" == "$before" ]] || fail "the second start changed files: $before / $(files_of "$prog")"
sleep 0.5
above "$main" "$side" || fail "the first calendar was not brought to the front"
[[ ! -s "$E2E_TMP/messages" ]] || fail "a message was shown: $(cat "$E2E_TMP/messages")"
import -window root "$E2E_TMP/front.png"
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && cp "$E2E_TMP/front.png" "$SORVEL_E2E_SHOTS/two-copies-front.png"

# A note in each: the other directory's copy first, then the first copy, whose save finds the
# file changed and takes that note in.
add_note_on_15_august "$side" beta
add_note_on_15_august "$main" alpha
box=$(wait_window '^メッセージ from Sorvel$' 10) || fail "no message about the other version"
import -window root "$E2E_TMP/merged.png"
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && cp "$E2E_TMP/merged.png" "$SORVEL_E2E_SHOTS/two-copies-merged.png"
press "$box" Return
python3 - "$E2E_TMP/messages" <<'PY' || fail "the message about the other version differs"
import json, sys
shown = [json.loads(line) for line in open(sys.argv[1], encoding='utf-8')]
expected = [{"caption": "メッセージ from Sorvel",
             "text": "データファイルは他のプログラムで変更されていました。\n他の版の予定・休日 1件を取り込みました。"}]
if shown != expected:
    print("shown:", shown, file=sys.stderr)
    sys.exit(1)
PY

sleep 0.5
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && import -window root "$SORVEL_E2E_SHOTS/two-copies-after.png"

# 閉じる(&X) on the first, SIGTERM on the other: both notes stay, and the lock goes.
sleep 0.5
press "$main" space
sleep 0.5
xdotool key x
wait_exit "$first" 10 || fail "閉じる(&X) did not end the first copy"
kill -TERM "$second_dir"
wait_exit "$second_dir" 10 || fail "SIGTERM did not end the other copy"
for caption in alpha beta; do
  [[ $(grep -ac "<+DA>$caption<-DA>" "$prog/Sorvel.dat") == 1 ]] || fail "$caption is not once in the data file"
done
[[ ! -e "$prog/sorvel.lock" ]] || fail "the lock stayed after 閉じる(&X)"
[[ ! -e "$other/sorvel.lock" ]] || fail "the lock stayed after SIGTERM"

# A copy killed outright leaves its lock; the next start takes it over.
start_sorvel log4
window_of "$pid" >/dev/null || fail "the calendar not shown again"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
[[ -e "$prog/sorvel.lock" ]] || fail "kill -9 left no lock to take over"
start_sorvel log5
window_of "$pid" >/dev/null || fail "the start after kill -9 did not run"
echo "two copies: ok"
