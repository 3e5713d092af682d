#!/usr/bin/env bash
# Quick print through the real CUPS stack: a private scheduler with one PDF queue, the real
# program on Xvfb, "簡単印刷(&P)" from the context menu and the print dialog accepted with the
# keyboard; then the PDF the queue wrote: one page, the job's title, and the calendar's pixels.
#
# cupsd starts only as root (it drops to the lp user for filters and backends); as anyone else
# the test fails unless SORVEL_E2E_PRINT=pdf asks for Qt's own PDF output instead.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}

source "$(dirname "$0")/print_setup.sh"
setup_print

# September 2001 on show, at its own zoom.
install_copy "$bin"
# The calendar alone: the layout window would ask CUPS for the default printer's paper.
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=100\r\nLeft=100\r\n[YoteiSet]\r\nYoDisp=0\r\n[LayoutSet]\r\nDisp=0\r\n' >"$prog/sorvel.ini"
printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
"$write_state" "$prog/SorvelSt.dat" 2001 9
start_xvfb
start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 0.5
import -window "$main" -depth 8 "$E2E_TMP/window.ppm" 2>/dev/null || fail "no screenshot of the window"
# The feature libraries are mapped only when first used: Qt Print Support with the first print
# dialog, CUPS (and GnuTLS and Kerberos with it) when a document goes to a printer, libical, Qt
# Network and QtKeychain with their iCalendar, sync and secret service.
if grep -E 'libQt6PrintSupport|libcups\.so|libgnutls|libical|libQt6Network|libqt6keychain|libsorvel-' "/proc/$pid/maps"; then
  fail "the start mapped a feature library"
fi

press "$main" space
sleep 0.5
xdotool key p
dialog=$(wait_window '^印刷$' 20) || fail "the print dialog (in Japanese, \"印刷\") did not open"
sleep 0.5
# The dialog is drawn (not a blank window): its controls and texts give it many colours.
import -window "$dialog" "$E2E_TMP/dialog.png" 2>/dev/null || fail "no screenshot of the print dialog"
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && cp "$E2E_TMP/dialog.png" "$SORVEL_E2E_SHOTS/print-dialog.png"
colours=$(identify -format '%k' "$E2E_TMP/dialog.png")
((colours > 16)) || fail "the print dialog's window shows $colours colours: it is not drawn"
press "$dialog" Return
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^印刷$' >/dev/null 2>&1 || break
  sleep 0.1
done

wait_printed_pdf "Sorvel　2001年9月"
[[ "$(pdfinfo "$submitted" | sed -n 's/^Title: *//p')" == "Sorvel　2001年9月" ]] ||
  fail "the document's title: $(pdfinfo "$submitted" | grep Title)"
for lib in print cups; do
  grep -q "$prog/libsorvel-$lib.so" "/proc/$pid/maps" || fail "the job did not go through libsorvel-$lib.so"
done
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[[ "$pages" == 1 ]] || fail "the printed PDF has $pages pages"

# The page: the calendar at the top left as wide as the printable area allows, in the window's
# proportions, with the window's background and day colours, without the month buttons.
pdftoppm -r 100 "$pdf" "$E2E_TMP/page"
page=$(ls "$E2E_TMP"/page*.ppm | head -n 1)
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && convert "$page" "$SORVEL_E2E_SHOTS/quick-print-page.png"
pixel() { convert "$1" -depth 8 -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
count() { convert "$1" -fuzz 15% -fill white +opaque "$2" -fill black -opaque "$2" -format '%[fx:int((1-mean)*w*h+0.5)]' info:; }
background=$(pixel "$E2E_TMP/window.ppm" 320 4)
# The box of the background colour on the page: width height left top, and the page's size.
read -r bw bh bx by pw ph <<<"$(convert "$page" -fuzz 5% -fill white +opaque "rgb($background)" -trim \
  -format '%w %h %X %Y %[fx:page.width] %[fx:page.height]' info: | tr -d '+')"
echo "calendar on the page: ${bw}x${bh} at $bx,$by of ${pw}x${ph}; background rgb($background)"
((bw * 10 >= pw * 8)) || fail "the calendar is not as wide as the page allows: $bw of $pw"
off=$((bw * 3 - bh * 4)); ((off < 0)) && off=$((-off))
((off * 100 <= bw * 3 * 3)) || fail "the calendar lost the window's 4:3: ${bw}x${bh}"
((bx * 10 < pw && by * 10 < ph)) || fail "the calendar is not at the top left: $bx,$by"
[[ "$(pixel "$E2E_TMP/window.ppm" 3 3)" == "255,255,255" ]] || fail "no month button in the window's corner"
[[ "$(pixel "$page" $((bx + 2)) $((by + 2)))" != "255,255,255" ]] || fail "a month button was printed"
# The day colours of the window (red Sundays, blue Saturdays) are on the page.
for colour in red blue; do
  (($(count "$E2E_TMP/window.ppm" $colour) > 200)) || fail "the window shows no $colour days"
  (($(count "$page" $colour) > 200)) || fail "the $colour days are missing on the page"
done

kill "$pid"; wait_exit "$pid" 10 || fail "the program did not end"
echo "quick print: ok"
