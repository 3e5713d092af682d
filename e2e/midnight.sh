#!/usr/bin/env bash
# The clock crosses midnight while the calendar is open (libfaketime starts it at 23:59:40 on
# 8 December 2026): without a click or a key, the today frame leaves the 8th for the 9th.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
faketime_lib=$(find /usr/lib -name libfaketime.so.1 -path '*faketime*' | head -n 1)
[[ -n "$faketime_lib" ]] || fail "libfaketime is missing; scripts/install-deps.sh installs it"
prepare_copy "$bin" "$write_state" '[SorvelSetting]\r\nVersion=1.2\r\nTop=0\r\nLeft=0\r\nShowNationalHolidays=0\r\n' 2026 12 frame
start_xvfb
LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-08 23:59:40" TZ=Asia/Tokyo start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"

# December 2026 at 640 × 480 starts on a Tuesday: the 8th is Tuesday of week row 2, the 9th
# Wednesday of the same row; cells 80 × 53 from (40 + 80 × weekday, 53 × (row + 2)). The today
# frame is drawn in its own colour (yellow by default): count such pixels in each cell.
frame_in() {  # col row → count of frame-coloured pixels in that cell
  import -window "$main" -depth 8 "$E2E_TMP/shot.ppm"
  /usr/bin/python3 - "$E2E_TMP/shot.ppm" "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
parts = data.split(maxsplit=4)
w, px = int(parts[1]), parts[4]
col, row = int(sys.argv[2]), int(sys.argv[3])
x0, y0 = 40 + 80 * col, 53 * (row + 2)
n = 0
for y in range(y0, y0 + 53):
    for x in range(x0, x0 + 80):
        r, g, b = px[3 * (y * w + x):3 * (y * w + x) + 3]
        n += r > 200 and g > 200 and b < 80
print(n)
PY
}
sleep 2
before8=$(frame_in 2 2); before9=$(frame_in 3 2)
[[ $before8 -gt 20 && $before9 -lt 5 ]] || fail "before midnight the frame is not on the 8th: $before8 / $before9"
# The date is looked at every half minute: within 70 s of midnight the frame has moved.
for _ in $(seq 70); do
  sleep 1
  after9=$(frame_in 3 2)
  [[ $after9 -gt 20 ]] && break
done
after8=$(frame_in 2 2)
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && import -window "$main" "$SORVEL_E2E_SHOTS/midnight.png"
[[ $after9 -gt 20 && $after8 -lt 5 ]] || fail "after midnight the frame did not move to the 9th: $after8 / $after9"
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "midnight: ok"
