#!/usr/bin/env bash
# The schedule list printed through the real print dialog: notes on long dates (15 December 2024,
# 31 December 9999 and 10002, the last year a note can be moved to); in the document the program
# made, every date's word box ends inside the date column, left of the column's line, and the
# captions start right of it. A note of 300 lines goes on over pages, each marked （続き）.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
source "$(dirname "$0")/print_setup.sh"
setup_print

install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=400\r\nLeft=600\r\n[YoteiSet]\r\nYoteiWidth=560\r\nYoteiHeight=360\r\nYoteiX=20\r\nYoteiY=20\r\nYoDisp=1\r\n[LayoutSet]\r\nDisp=0\r\n' >"$prog/sorvel.ini"
"$write_state" "$prog/SorvelSt.dat" 2024 12
printf -v long 'line%03d\r\n' $(seq 300)
write_notes "$prog/Sorvel.dat" "2024 12 15 meeting" "9999 12 31 lastday" "10002 12 31 faraway" "10002 12 31 ${long%$'\r\n'}"
start_xvfb
start_sorvel
list=$(wait_window '^予定一覧$' 60) || fail "the schedule list did not open at start"
sleep 1
# The list right of the tree: its context menu, リスト印刷(&P).
xdotool mousemove --window "$list" 350 60 click 3
sleep 0.5
xdotool key p
dialog=$(wait_window "^印刷$" 20) || { import -window root "$E2E_TMP/no-dialog.png"; [[ -n "${SORVEL_E2E_SHOTS:-}" ]] && cp "$E2E_TMP/no-dialog.png" "$SORVEL_E2E_SHOTS/"; fail "the print dialog did not open"; }
sleep 0.5
press "$dialog" Return
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^印刷$' >/dev/null 2>&1 || break
  sleep 0.1
done
wait_printed_pdf "Sorvel 一覧印刷"

# Word boxes of the document as the program made it, and the page as pixels at 100 dpi.
pdftotext -bbox "$submitted" "$E2E_TMP/words.html"
pdftoppm -r 100 -f 1 -l 1 -png "$submitted" "$E2E_TMP/list"
png=$(ls "$E2E_TMP"/list*.png | head -n 1)
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && cp "$png" "$SORVEL_E2E_SHOTS/list-print-page.png"
python3 - "$E2E_TMP/words.html" "$png" <<'PY' || fail "a date does not stay inside its column"
import re, subprocess, sys
words = [(float(a), float(b), float(c), float(d), w) for a, b, c, d, w in
         re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>', open(sys.argv[1], encoding='utf-8').read())]
# The page in grey levels, one byte a pixel, to find the date column's line (points × 100/72).
w, h = map(int, subprocess.check_output(['identify', '-format', '%w %h', sys.argv[2]]).split())
grey = subprocess.check_output(['convert', sys.argv[2], '-colorspace', 'gray', '-depth', '8', 'gray:-'])
def dark(x, y): return grey[y * w + x] < 128
ok = True
for date, caption in (('2024年12月15日', 'meeting'), ('9999年12月31日', 'lastday'), ('10002年12月31日', 'faraway')):
    d = [x for x in words if x[4] == date]
    c = [x for x in words if x[4] == caption]
    if not d or not c:
        print('missing', date, caption, [x[4] for x in words]); ok = False; continue
    d, c = d[0], c[0]
    # The first column right of the date's start that is dark through the whole text cell (the
    # glyphs' strokes are shorter than the cell).
    top, bottom = int(d[1] * 100 / 72) + 1, int(d[3] * 100 / 72)
    line = next((x for x in range(int(d[0] * 100 / 72) + 1, w) if all(dark(x, yy) for yy in range(top, bottom))), None)
    print(f'{date}: x {d[0]:.1f}-{d[2]:.1f} pt, column line at {line * 72 / 100 if line else None:.1f} pt, {caption} from {c[0]:.1f} pt')
    if line is None or d[2] * 100 / 72 > line - 0.5 or c[0] * 100 / 72 < line:
        ok = False
sys.exit(0 if ok else 1)
PY

[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && pdftoppm -r 100 -png "$submitted" "$SORVEL_E2E_SHOTS/list-print-long"
python3 - "$submitted" <<'PY' || fail "the long note is not printed whole over its pages"
import re, subprocess, sys
pages = subprocess.check_output(['pdftotext', sys.argv[1], '-']).decode().split('\f')[:-1]
lines, marks = [re.findall(r'line(\d{3})', p) for p in pages], [p.count('（続き）') for p in pages]
print('lines per page', [len(l) for l in lines], 'marks', marks)
sys.exit(0 if sorted(int(n) for l in lines for n in l) == list(range(1, 301)) and not lines[0]
         and len(pages) > 3 and marks == [0, 0] + [1] * (len(pages) - 2) else 1)
PY

kill "$pid"; wait_exit "$pid" 10 || fail "the program did not end"
echo "list print: ok"
