#!/usr/bin/env bash
# Installs the Debian 12 packages Vantora needs to build, run and test.
# Safe to run again: apt-get installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-httpserver-dev qt6-websockets-dev qt6-webengine-dev qt6-declarative-dev qt6-multimedia-dev
  qt6-qpa-plugins libgl-dev libbenchmark-dev
  xvfb xauth poppler-utils python3
  clang libfuzzer-14-dev
  dbus dbus-daemon python3-dbus python3-dbusmock
  qt6-svg-dev qt6-wayland weston
  qtkeychain-qt6-dev gnome-keyring libsecret-tools
  desktop-file-utils appstream man-db groff-base lintian dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
