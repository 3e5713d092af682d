#!/usr/bin/env bash
# The Debian package from end to end: built as `make deb` builds it, checked by lintian,
# appstreamcli and desktop-file-validate, installed on this machine with apt-get, the installed
# program started on Xvfb from a fresh HOME, and purged again without a file of it left.
# It installs into the machine itself: run it as root (CI is) and alone (`make test-package`,
# after `make test`). Usage: package.sh <build directory> [jobs].
source "$(dirname "$0")/lib.sh"
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:?build directory}"
build=$(cd "$1" && pwd)
jobs=${2:-2}

[[ $(id -u) -eq 0 ]] || fail "the package is installed into this machine: run as root"
for tool in dpkg-buildpackage dpkg-parsechangelog lintian appstreamcli desktop-file-validate apt-get man \
    Xvfb xdotool xwininfo import identify python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing; scripts/install-deps.sh installs it"
done
status=$(dpkg-query -W -f='${db:Status-Status}' sorvel 2>/dev/null || true)
[[ -z "$status" || "$status" == not-installed ]] \
  || fail "sorvel is on this machine already ($status); \`apt-get purge sorvel\` first"

version=$(cd "$src" && dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
deb="$build/sorvel_${version}_${arch}.deb"
seconds() { echo $(($(date +%s) - $1)); }

# Whatever happens, the machine is left without the package: the programs end first.
installed=
purge_package() {
  if [[ -n "$installed" ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq sorvel >/dev/null 2>&1 || echo "purge of sorvel failed" >&2
  fi
}
trap 'e2e_cleanup; purge_package' EXIT

# --- the package ----------------------------------------------------------------------------
t=$(date +%s)
rm -f "$deb"
"$src/scripts/build-deb.sh" "$build" "$jobs" || fail "the package did not build"
[[ -f "$deb" ]] || fail "no $deb"
echo "package: built $(basename "$deb") in $(seconds "$t") s"

[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
# The libraries as dh_shlibdeps found them (a t64 name on later releases), and the fonts.
for dep in libqt6widgets6 libqt6network6 libical3 liberfa1 libcups2 fonts-ipafont-gothic fonts-ipafont-mincho; do
  grep -Eq "(^|, )$dep(t64)?( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
[[ $(dpkg-deb -f "$deb" Recommends) == qt6-translations-l10n ]] || fail "Recommends is not the Qt translations"

# Every file the package holds, the manual pages compressed.
expected="./usr/bin/sorvel
./usr/lib/sorvel/libsorvel-cups.so
./usr/lib/sorvel/libsorvel-ical.so
./usr/lib/sorvel/libsorvel-print.so
./usr/lib/sorvel/libsorvel-secrets.so
./usr/lib/sorvel/libsorvel-sync.so
./usr/share/applications/org.sorvel.Sorvel.desktop
./usr/share/doc/sorvel/changelog.gz
./usr/share/doc/sorvel/copyright
./usr/share/icons/hicolor/128x128/apps/sorvel.png
./usr/share/icons/hicolor/256x256/apps/sorvel.png
./usr/share/icons/hicolor/48x48/apps/sorvel.png
./usr/share/man/ja/man1/sorvel.1.gz
./usr/share/man/man1/sorvel.1.gz
./usr/share/metainfo/org.sorvel.Sorvel.metainfo.xml
./usr/share/sorvel/sorvel-help.html"
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort)
[[ "$actual" == "$expected" ]] || fail "the package holds other files:
$actual"
dpkg-deb -x "$deb" "$E2E_TMP/pkg"
cmp -s "$src/resources/help/index.html" "$E2E_TMP/pkg/usr/share/sorvel/sorvel-help.html" || fail "help page differs"
for size in 48 128 256; do
  got=$(identify -format '%wx%h' "$E2E_TMP/pkg/usr/share/icons/hicolor/${size}x${size}/apps/sorvel.png")
  [[ "$got" == "${size}x${size}" ]] || fail "icon of ${size} px is $got"
done

# lintian on everything the build made (.deb, debug symbols, .buildinfo): no error, no warning.
# Each override in debian/*.lintian-overrides has its reason on the comment line above it.
python3 - "$src/debian" <<'PY' || fail "a lintian override without its reason"
import glob, sys
for path in glob.glob(sys.argv[1] + '/*.lintian-overrides'):
    lines = [l.rstrip('\n') for l in open(path, encoding='utf-8')]
    for i, line in enumerate(lines):
        if line.strip() and not line.startswith('#') and (i == 0 or not lines[i - 1].startswith('# ')):
            sys.exit(f'{path}:{i + 1}: {line}')
PY
t=$(date +%s)
report=$(lintian --fail-on error,warning --show-overrides "$build/deb/sorvel_${version}_${arch}.changes" 2>&1) \
  || fail "lintian failed:
$report"
echo "package: lintian in $(seconds "$t") s${report:+:
$report}"
grep -Eq '^[EW]: ' <<<"$report" && fail "lintian reports errors or warnings"

metainfo="$E2E_TMP/pkg/usr/share/metainfo/org.sorvel.Sorvel.metainfo.xml"
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli refused the metainfo: $report"
grep -q '<launchable type="desktop-id">org.sorvel.Sorvel.desktop</launchable>' "$metainfo" \
  || fail "the metainfo does not name the desktop entry"
entry="$E2E_TMP/pkg/usr/share/applications/org.sorvel.Sorvel.desktop"
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate refused the entry: $report"
[[ -z "$report" ]] || fail "desktop-file-validate complained: $report"

# --- installed on this machine ----------------------------------------------------------------
t=$(date +%s)
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >"$E2E_TMP/log-apt" 2>&1 || fail "apt-get install failed"
[[ $(dpkg-query -W -f='${db:Status-Status} ${Version}' sorvel) == "installed $version" ]] \
  || fail "sorvel $version is not installed"
echo "package: installed in $(seconds "$t") s"
# What the package put there, each path with its kind (d a folder, f anything else).
dpkg -L sorvel | grep -vx '/\.' | while read -r path; do
  if [[ -d "$path" && ! -L "$path" ]]; then echo "d $path"; else echo "f $path"; fi
done >"$E2E_TMP/listed"
grep -qx 'f /usr/bin/sorvel' "$E2E_TMP/listed" || fail "dpkg -L does not list /usr/bin/sorvel"
[[ $(man -w sorvel) == /usr/share/man/man1/sorvel.1.gz ]] || fail "man -w sorvel: $(man -w sorvel 2>&1)"
[[ $(man -L ja -w sorvel) == /usr/share/man/ja/man1/sorvel.1.gz ]] || fail "man -L ja -w sorvel: $(man -L ja -w sorvel 2>&1)"

# The installed program from a fresh HOME, as root: its files go to ~/.config/sorvel, never into
# /usr/bin. xdg-open is a stand-in that notes what the program asked to open.
start_xvfb
home="$E2E_TMP/home"
mkdir -p "$home" "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$@" >>"$E2E_TMP/opened"
EOF
chmod +x "$E2E_TMP/bin/xdg-open"
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_RUNTIME_DIR -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION \
  HOME="$home" PATH="$E2E_TMP/bin:/usr/bin:/bin" SORVEL_MESSAGE_LOG="$E2E_TMP/messages" \
  /usr/bin/sorvel >>"$E2E_TMP/log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
for n in 1 2; do
  box=$(wait_window '^メッセージ$' 60) || fail "first-start message $n not shown"
  press "$box" Return
  sleep 0.5
done
dir="$home/.config/sorvel"
python3 - "$E2E_TMP/messages" "$dir" <<'PY' || fail "the first-start messages do not name ~/.config/sorvel"
import json, sys
shown = [json.loads(line) for line in open(sys.argv[1], encoding='utf-8')]
expected = [
    {"caption": "メッセージ", "text": "状態保存ファイル\n" + sys.argv[2] + "/SorvelSt.dat を作成します。"},
    {"caption": "メッセージ", "text": "データ保存ファイル\n" + sys.argv[2] + "/Sorvel.dat を作成します。"},
]
if shown != expected:
    sys.exit(f"shown: {shown}")
PY
main=$(wait_window '^Sorvel$' 60) || fail "the calendar window is not shown"
xwininfo -id "$main" | grep -q 'Map State: IsViewable' || fail "the calendar window is not mapped"
grep -q 'Geometry: 640x480' <<<"$(xdotool getwindowgeometry "$main")" || fail "the calendar is not 640x480"
# A first start's layout window takes the default printer's paper: the printers come from the
# feature library the package installed beside the program.
grep -q /usr/lib/sorvel/libsorvel-print.so "/proc/$pid/maps" \
  || fail "the installed program did not load /usr/lib/sorvel/libsorvel-print.so"
sleep 1
shot="$build/package-calendar.png"
import -window "$main" "$shot" || fail "no screenshot of the calendar"
colours=$(identify -format '%k' "$shot")
((colours >= 8)) || fail "the calendar shows $colours colours only"
echo "package: the installed calendar is shown ($shot)"

# "ログイン時に起動する" on the settings dialog's first page names the installed program.
press "$main" space; sleep 0.4; xdotool key s
settings=$(wait_window '^Sorvelの設定$' 10) || fail "the settings dialog did not open"
sleep 0.5
xdotool mousemove --window "$settings" 28 295 click 1    # ログイン時に起動する
sleep 0.3
xdotool key Return                                       # 確定, the default button
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Sorvelの設定$' >/dev/null 2>&1 || break; sleep 0.1; done
autostart="$home/.config/autostart/sorvel.desktop"
[[ -f "$autostart" ]] || fail "ログイン時に起動する wrote no $autostart"
grep -qx 'Exec=/usr/bin/sorvel' "$autostart" || fail "the autostart entry does not start /usr/bin/sorvel: $(cat "$autostart")"
report=$(desktop-file-validate "$autostart" 2>&1) || fail "desktop-file-validate refused the autostart entry: $report"

# The help page the package installed is the one the menu opens.
press "$main" space; sleep 0.4; xdotool key h; sleep 0.3; xdotool key h
for _ in $(seq 50); do [[ -s "$E2E_TMP/opened" ]] && break; sleep 0.1; done
[[ $(cat "$E2E_TMP/opened" 2>/dev/null) == file:///usr/share/sorvel/sorvel-help.html ]] \
  || fail "the menu's help opened: $(cat "$E2E_TMP/opened" 2>/dev/null)"

press "$main" space; sleep 0.4; xdotool key x
wait_exit "$pid" 10 || fail "閉じる(&X) did not end the installed program"
for file in sorvel.ini SorvelSt.dat Sorvel.dat; do
  [[ -f "$dir/$file" ]] || fail "$file is not in ~/.config/sorvel"
  [[ ! -e "/usr/bin/$file" ]] || fail "$file was written into /usr/bin"
done
[[ ! -e /usr/bin/sorvel.lock ]] || fail "the lock was taken in /usr/bin"

# --- purged -------------------------------------------------------------------------------------
t=$(date +%s)
DEBIAN_FRONTEND=noninteractive apt-get purge -y sorvel >"$E2E_TMP/log-purge" 2>&1 || fail "apt-get purge failed"
installed=
status=$(dpkg-query -W -f='${db:Status-Status}' sorvel 2>/dev/null || true)
[[ -z "$status" || "$status" == not-installed ]] || fail "sorvel is still known to dpkg: $status"
left=()
while read -r kind path; do
  if [[ "$kind" == f ]]; then
    [[ -e "$path" || -L "$path" ]] && left+=("$path")
  elif [[ -d "$path" ]] && ! dpkg-query -S "$path" >/dev/null 2>&1; then
    left+=("$path/")  # a folder of the package's own, kept
  fi
done <"$E2E_TMP/listed"
((${#left[@]} == 0)) || fail "the purge left: ${left[*]}"
echo "package: purged in $(seconds "$t") s, nothing of its $(wc -l <"$E2E_TMP/listed") paths left"
echo "package: ok"
