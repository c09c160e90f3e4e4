#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need.
# Idempotent: only missing packages are installed, and the package index is
# refreshed only when something has to be installed.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ccache clang clang-format libclang-rt-14-dev
  libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libfreeimage-dev libtinyxml-dev libenet-dev
  libopenal-dev libopenal1 libsndfile1-dev libvorbis-dev libogg-dev
  libfreetype-dev fonts-dejavu-core
  libmicrohttpd-dev wrk libhiredis-dev redis-server
  dpkg-dev file lintian
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick
  iproute2 util-linux procps time
  desktop-file-utils appstream man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
