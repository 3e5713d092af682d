#!/usr/bin/env bash
# Quick print through the real CUPS stack: a private scheduler with one PDF queue, the real
# program on Xvfb, "簡単印刷(&P)" from the context menu and the print dialog accepted with the
# keyboard; then the PDF the queue wrote: one page, the job's title, and the calendar's pixels.
#
# cupsd starts only as root (it drops to the lp user for filters and backends). Run as anyone
# else, the test says so and prints through Qt's own PDF output ("PDF に出力" in the same
# dialog) instead, with no scheduler reachable.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}

mode=cups
if [[ $(id -u) -ne 0 || "${SORVEL_E2E_PRINT:-}" == pdf ]]; then
  mode=pdf
  reason="a private cupsd needs root (User lp), this runs as $(id -un)"
  [[ $(id -u) -eq 0 ]] && reason="SORVEL_E2E_PRINT=pdf"
  echo "NOTE: printing to Qt's PDF output instead of CUPS: $reason"
fi

if [[ $mode == cups ]]; then
[[ -x /usr/lib/cups/backend/cups-pdf ]] || fail "the cups-pdf backend is missing (printer-driver-cups-pdf)"
# cups-pdf writes into ~/PDF of the job's user: what this test adds there is removed again.
out_dir="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
out_dir_existed=0
[[ -d "$out_dir" ]] && out_dir_existed=1
before=$(ls -1 "$out_dir" 2>/dev/null | sort || true)
cleanup_print() {
  if [[ -d "$out_dir" ]]; then
    comm -13 <(echo "$before") <(ls -1 "$out_dir" | sort) | while read -r f; do
      [[ -n "$f" ]] && rm -f "$out_dir/$f"
    done
    ((out_dir_existed)) || rmdir "$out_dir" 2>/dev/null || true
  fi
  e2e_cleanup
}
trap cleanup_print EXIT

# A private scheduler: configuration, socket, spool and logs in the test's directory.
chmod 711 "$E2E_TMP"
cups="$E2E_TMP/cups"
mkdir -p "$cups/spool/tmp" "$cups/cache" "$cups/state" "$cups/log" "$cups/ppd"
chown -R lp:lp "$cups/spool" "$cups/cache" "$cups/state"
chmod 755 "$cups"
cat >"$cups/cupsd.conf" <<CONF
Listen $cups/cups.sock
LogLevel info
Browsing No
DefaultAuthType None
PreserveJobFiles Yes
PreserveJobHistory Yes
DirtyCleanInterval 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$cups/cups-files.conf" <<CONF
User lp
Group lp
SystemGroup root
ServerRoot $cups
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
FileDevice Yes
CONF
cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" >"$E2E_TMP/log-cupsd" 2>&1 &
E2E_PIDS+=($!)
export CUPS_SERVER="$cups/cups.sock"
for _ in $(seq 100); do [[ -S "$CUPS_SERVER" ]] && break; sleep 0.1; done
[[ -S "$CUPS_SERVER" ]] || fail "the private cupsd did not start: $(cat "$cups/log/error_log" 2>/dev/null)"
lpadmin -p SorvelPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
  fail "lpadmin could not add the PDF queue"
lpadmin -d SorvelPDF
lpstat -p SorvelPDF | grep -q 'enabled' || fail "the PDF queue is not enabled: $(lpstat -p 2>&1)"
else
  # No scheduler at all: the dialog offers only the PDF file, $HOME/print.pdf.
  export CUPS_SERVER="$E2E_TMP/no-cups.sock"
  export HOME="$E2E_TMP/home"
  mkdir -p "$HOME"
fi

# September 2001 on show, at its own zoom.
install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=100\r\nLeft=100\r\n' >"$prog/sorvel.ini"
printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
"$write_state" "$prog/SorvelSt.dat" 2001 9
start_xvfb
"$prog/sorvel" >"$E2E_TMP/log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 0.5
import -window "$main" -depth 8 "$E2E_TMP/window.ppm" 2>/dev/null || fail "no screenshot of the window"

press "$main" space
sleep 0.5
xdotool key p
dialog=$(wait_window '^印刷$' 20) || fail "the print dialog (in Japanese, \"印刷\") did not open"
sleep 0.5
import -window root "$E2E_TMP/dialog.png" 2>/dev/null || true
[[ -n "${SORVEL_E2E_SHOTS:-}" ]] && cp "$E2E_TMP/dialog.png" "$SORVEL_E2E_SHOTS/print-dialog.png"
press "$dialog" Return
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^印刷$' >/dev/null 2>&1 || break
  sleep 0.1
done

if [[ $mode == cups ]]; then
# The queue finishes the job; its PDF appears in the output directory.
for _ in $(seq 300); do
  [[ -n "$(lpstat -W completed -o SorvelPDF 2>/dev/null)" ]] && break
  sleep 0.1
done
[[ -n "$(lpstat -W completed -o SorvelPDF 2>/dev/null)" ]] ||
  fail "no completed job: $(lpstat -o 2>&1); $(tail -20 "$cups/log/error_log")"
pdf=""
for _ in $(seq 100); do
  pdf=$(comm -13 <(echo "$before") <(ls -1 "$out_dir" 2>/dev/null | sort) | head -n 1)
  [[ -n "$pdf" ]] && break
  sleep 0.1
done
[[ -n "$pdf" ]] || fail "cups-pdf wrote no file into $out_dir: $(tail -20 "$cups/log/error_log")"
pdf="$out_dir/$pdf"
# The job title with its full-width space, as CUPS received it (cups-pdf mangles its own copy).
python3 - "$cups/spool" <<'PY' || fail "the job is not titled \"Sorvel　2001年9月\""
import glob, sys
controls = glob.glob(sys.argv[1] + "/c*")
title = "Sorvel\u30002001年9月".encode()
sys.exit(0 if controls and all(b"job-name" in open(c, "rb").read() and title in open(c, "rb").read() for c in controls) else 1)
PY
submitted=$(ls "$cups/spool"/d*-001 | head -n 1)
else
pdf="$HOME/print.pdf"
for _ in $(seq 100); do [[ -s "$pdf" ]] && break; sleep 0.1; done
[[ -s "$pdf" ]] || fail "Qt's PDF output wrote no $pdf"
submitted=$pdf
fi
[[ "$(pdfinfo "$submitted" | sed -n 's/^Title: *//p')" == "Sorvel　2001年9月" ]] ||
  fail "the document's title: $(pdfinfo "$submitted" | grep Title)"
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
