#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the look-at-it tools need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config make
  qt6-base-dev qt6-svg-dev qt6-translations-l10n
  qt6-multimedia-dev gstreamer1.0-plugins-good
  mdbtools mdbtools-dev
  nlohmann-json3-dev libsqlite3-dev libcsv-dev libsodium-dev
  famfamfam-silk tango-icon-theme fonts-dejavu-core
  xvfb xauth imagemagick poppler-utils
  desktop-file-utils appstream dpkg-dev
  clang libclang-rt-14-dev clang-format clang-tidy
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
