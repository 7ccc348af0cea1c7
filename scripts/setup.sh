#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test Pagequill.
# A no-op when everything is already there.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git
  libgtk-3-dev libwebkit2gtk-4.1-dev libsoup-3.0-dev libglib2.0-dev
  libcpp-httplib-dev libssl-dev openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  php-cli
  xvfb xauth xdotool imagemagick librsvg2-common openbox x11-utils
  dbus at-spi2-core python3-pyatspi
  fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
