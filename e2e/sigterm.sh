#!/usr/bin/env bash
# A session that ends without "閉じる(&X)": on SIGTERM the program writes its files, so a data
# file in the older binary form comes back in the tagged form, with its note.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
install_copy "$bin"
start_xvfb

# Older binary form: "Sorvel" + 1 byte, then one note record (type 1) with year, month, day and
# caption chunks, ended by a chunk header with tag 0.
python3 - "$prog/Sorvel.dat" <<'PY'
import struct, sys
rec = struct.pack('<i', 1)
for tag, data in ((0x1001, struct.pack('<i', 2001)), (0x1002, struct.pack('<i', 9)),
                  (0x1003, struct.pack('<i', 23)), (0x1005, b'note\0')):
    rec += struct.pack('<ii', tag, len(data)) + data
rec += struct.pack('<ii', 0, 0)
open(sys.argv[1], 'wb').write(b'Sorvel\0' + rec)
PY
printf '[SorvelSetting]\r\nVersion=1.01\r\n' >"$prog/sorvel.ini"

start_sorvel
wait_window '^Sorvel$' 60 >/dev/null || fail "calendar window not shown"
if xdotool search --onlyvisible --name '^メッセージ$' >/dev/null 2>&1; then fail "an installed copy showed a message"; fi
kill -TERM "$pid"
wait_exit "$pid" 10 || fail "SIGTERM did not end the program"

head -c 10 "$prog/Sorvel.dat" | cmp -s - <(printf '<+Sorvel>\0') || fail "data file not rewritten in the tagged form"
grep -q 'note' "$prog/Sorvel.dat" || fail "the note was lost"
grep -q '<+S01>' "$prog/Sorvel.dat" || fail "the note has no fields"
grep -q '^Version=1.2' "$prog/sorvel.ini" || fail "ini file not written"
[[ -f "$prog/SorvelSt.dat" ]] || fail "state file not written"
echo "sigterm: ok"
