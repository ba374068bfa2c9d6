#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the game need.
# Skips apt-get entirely when everything is already there.
set -euo pipefail
PACKAGES=(
  g++ cmake make pkg-config
  libirrlicht-dev libopenal-dev libvorbis-dev libogg-dev libloki-dev
  libgl-dev libgl1-mesa-dev libx11-dev libxcursor-dev libfreetype-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libpng-dev libjpeg-dev
  xvfb xauth libgl1-mesa-dri x11-utils x11-xkb-utils xdotool procps
  sox vorbis-tools fonts-dejavu-core
  librsvg2-bin fluidsynth timgm6mb-soundfont python3
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
