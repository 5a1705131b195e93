#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-translations-l10n
  libxlsxwriter-dev libzip-dev libqrencode-dev
  fonts-dejavu-core fonts-liberation2
  xvfb xauth x11-xkb-utils x11-utils xdotool openbox wmctrl imagemagick poppler-utils
  python3-openpyxl libbenchmark-dev time zbar-tools
  dpkg-dev desktop-file-utils appstream librsvg2-bin lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg -s "$p" >/dev/null 2>&1; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
