# Printing for end-to-end tests, sourced after lib.sh. setup_print starts a private CUPS
# scheduler with one PDF queue (cups-pdf) as the default printer. cupsd starts only as root (it
# drops to the lp user for filters and backends): run as anyone else, the test fails unless
# SORVEL_E2E_PRINT=pdf asks for Qt's own PDF output ("PDF に出力" in the same dialog) instead,
# with no scheduler reachable; the test then says so. wait_printed_pdf <title> then waits for
# the job and sets $pdf (the printed file) and $submitted (the document as the program made it).

setup_print() {
mode=cups
if [[ "${SORVEL_E2E_PRINT:-}" == pdf ]]; then
  mode=pdf
  echo "NOTE: printing to Qt's PDF output instead of CUPS (SORVEL_E2E_PRINT=pdf)"
elif [[ $(id -u) -ne 0 ]]; then
  fail "a private cupsd needs root (User lp), this runs as $(id -un); SORVEL_E2E_PRINT=pdf prints through Qt's PDF output instead"
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

}

wait_printed_pdf() {
local title=$1
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
python3 - "$cups/spool" "$title" <<'PY' || fail "the job is not titled \"$title\""
import glob, sys
controls = glob.glob(sys.argv[1] + "/c*")
title = sys.argv[2].encode()
sys.exit(0 if controls and all(b"job-name" in open(c, "rb").read() and title in open(c, "rb").read() for c in controls) else 1)
PY
submitted=$(ls "$cups/spool"/d*-001 | head -n 1)
else
pdf="$HOME/print.pdf"
for _ in $(seq 100); do [[ -s "$pdf" ]] && break; sleep 0.1; done
[[ -s "$pdf" ]] || fail "Qt's PDF output wrote no $pdf"
submitted=$pdf
fi
}
