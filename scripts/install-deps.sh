#!/usr/bin/env bash
# Installs the Debian packages Sorvel needs to build, test and run, only when some are missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libxcb1-dev libqt6test6 libqt6printsupport6 libgl-dev
  libjpeg62-turbo-dev libcups2-dev libical-dev python3-icalendar radicale liberfa-dev qtkeychain-qt6-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth xdotool imagemagick x11-utils python3 desktop-file-utils trayer
  openbox faketime libfaketime at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus-daemon
  qt6-translations-l10n
  cups-daemon cups-client printer-driver-cups-pdf poppler-utils
  radicale xandikos python3-caldav apache2-utils openssl
  clang libclang-rt-14-dev clang-format git
  dpkg-dev debhelper devscripts fakeroot lintian appstream man-db libjpeg-dev
)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
