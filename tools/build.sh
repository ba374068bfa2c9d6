#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with --sanitize).
#   tools/build.sh [--sanitize] [target...]
# With targets only those (and what they need) are built; without, everything.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build
EXTRA=()
if [ "${1:-}" = "--sanitize" ]; then
  BUILD_DIR=build-sanitize
  EXTRA+=(-DENGINE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  shift
fi
TARGETS=()
for target in "$@"; do TARGETS+=(--target "$target"); done
JOBS=${BUILD_JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B "$BUILD_DIR" "${EXTRA[@]}" >&2
cmake --build "$BUILD_DIR" -j "$JOBS" "${TARGETS[@]}" >&2
echo "$BUILD_DIR"
