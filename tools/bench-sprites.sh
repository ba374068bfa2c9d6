#!/usr/bin/env bash
# Measures the engine's sprite scene against SFML 2.5 (vertex array and one
# draw per sprite) at 10,000 and 50,000 sprites on 2 and 8 rasteriser threads,
# under Xvfb at 1024x768x24, and prints frame times and ratios.
#
#   tools/bench-sprites.sh [seconds per measurement] [rounds]
#
# Installs libsfml-dev (a benchmark-only dependency) when it is missing and
# builds with -DENGINE_BUILD_BENCH=ON into build-bench/ (BUILD_JOBS jobs, or
# one per core).
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-2}
ROUNDS=${2:-3}

if ! dpkg-query -W -f='${Status}' libsfml-dev 2>/dev/null | grep -q "install ok installed"; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends libsfml-dev
fi
bash tools/install-deps.sh

JOBS=${BUILD_JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B build-bench -DENGINE_BUILD_BENCH=ON -DENGINE_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "$JOBS" --target sprite_scene_bench >/dev/null

for sprites in 10000 50000; do
  for threads in 2 8; do
    echo "== $sprites sprites, LP_NUM_THREADS=$threads"
    LP_NUM_THREADS=$threads xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
      build-bench/bench/sprite_scene_bench --sprites "$sprites" --seconds "$SECONDS_EACH" --rounds "$ROUNDS"
  done
done
