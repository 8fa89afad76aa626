#!/usr/bin/env bash
# Installs the Debian packages the project needs; skips what is there.
# `deps.sh windows` installs what the Windows build and its tests need.
set -euo pipefail
if [ "${1:-}" = windows ]; then
  packages=(g++-mingw-w64-x86-64-posix wine64 wine xvfb xdotool openbox x11-utils python3 googletest nodejs node-acorn node-css-tree)
else
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libbenchmark-dev libpng-dev
  libpango1.0-dev libcairo2-dev libgtk-3-dev libwebkit2gtk-4.1-dev libxext-dev
  xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils xdotool libxtst6 openbox x11-utils adwaita-icon-theme fonts-dejavu-core
  dbus-daemon at-spi2-core python3-pyatspi xfwm4 xfconf mutter
  imagemagick python3 gstreamer1.0-plugins-base gstreamer1.0-plugins-good libgl1-mesa-dri
  dpkg-dev fakeroot lintian desktop-file-utils appstream
)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
