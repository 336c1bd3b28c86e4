#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, run and be tested, when missing.
# Runs apt-get as root directly, or through sudo for an ordinary user. The README's package
# recipe needs file (CPack), lintian, and sudo for its last step, also when root runs it.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libqt6sql6-sqlite
  libsqlite3-dev libpq-dev postgresql postgresql-contrib zlib1g-dev libminizip-dev libcurl4-openssl-dev
  libsodium-dev
  libgtest-dev libgmock-dev
  fonts-wqy-zenhei unicode-data
  xvfb imagemagick xdotool unzip
  desktop-file-utils appstream dpkg-dev
  file lintian sudo
  qt6-translations-l10n locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# The tests run a second time under a comma-decimal locale.
comma_locale=de_DE.UTF-8
has_comma_locale() { locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; }

[ ${#missing[@]} -eq 0 ] && has_comma_locale && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if ! has_comma_locale; then
  "${as_root[@]}" localedef -i de_DE -f UTF-8 "$comma_locale"
fi
