#!/usr/bin/env bash
# `cmake --install` into a DESTDIR: the tree it leaves, a desktop entry the desktop accepts, and
# an uninstall that takes it all away again.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
src=$(cd "${2:?source directory}" && pwd)
tmp=$(mktemp -d)
manifest="$build/install_manifest.txt"
# A real installation's manifest (for `make uninstall`) survives this test.
[[ -f "$manifest" ]] && cp "$manifest" "$tmp/manifest.saved"
restore() {
  if [[ -f "$tmp/manifest.saved" ]]; then cp "$tmp/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$tmp"
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

root="$tmp/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$tmp/install.log" || { cat "$tmp/install.log"; fail "install failed"; }

expected="usr/bin/sorvel
usr/lib/sorvel/libsorvel-cups.so
usr/lib/sorvel/libsorvel-ical.so
usr/lib/sorvel/libsorvel-print.so
usr/lib/sorvel/libsorvel-secrets.so
usr/lib/sorvel/libsorvel-sync.so
usr/share/applications/org.sorvel.Sorvel.desktop
usr/share/icons/hicolor/128x128/apps/sorvel.png
usr/share/icons/hicolor/256x256/apps/sorvel.png
usr/share/icons/hicolor/48x48/apps/sorvel.png
usr/share/man/ja/man1/sorvel.1
usr/share/man/man1/sorvel.1
usr/share/metainfo/org.sorvel.Sorvel.metainfo.xml
usr/share/sorvel/sorvel-help.html"
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ "$actual" == "$expected" ]] || fail "installed tree differs:
$actual"

[[ -x "$root/usr/bin/sorvel" ]] || fail "the program is not executable"
# The feature libraries where the program looks for them (bin/../lib/sorvel), with their entry
# points.
for entry in cups:sorvel_cups_print_file ical:sorvel_ical_library secrets:sorvel_secret_store sync:sorvel_sync_library; do
  nm -D --defined-only "$root/usr/lib/sorvel/libsorvel-${entry%%:*}.so" | grep -qw "${entry#*:}" \
    || fail "libsorvel-${entry%%:*}.so does not export ${entry#*:}"
done
cmp -s "$src/resources/help/index.html" "$root/usr/share/sorvel/sorvel-help.html" || fail "help page differs"
for size in 48 128 256; do
  got=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/sorvel.png")
  [[ "$got" == "${size}x${size}" ]] || fail "icon of ${size} px is $got"
done

entry="$root/usr/share/applications/org.sorvel.Sorvel.desktop"
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate refused the entry: $report"
[[ -z "$report" ]] || fail "desktop-file-validate complained: $report"
for line in 'Name=Sorvel' 'Name\[ja\]=.+' 'Comment\[ja\]=.+' 'Icon=sorvel' 'Exec=sorvel' 'Categories=(.*;)?Office;.*' \
    'Categories=(.*;)?Calendar;.*'; do
  grep -Eq "^${line}\$" "$entry" || fail "desktop entry lacks ^$line\$"
done

# Uninstall from the manifest this install wrote.
DESTDIR="$root" bash "$src/scripts/uninstall.sh" "$manifest" >/dev/null
left=$(cd "$root" && find . -type f)
[[ -z "$left" ]] || fail "uninstall left: $left"
[[ ! -d "$root/usr/share/sorvel" ]] || fail "uninstall left the program's data folder"
echo "install: ok"
