#!/usr/bin/env bash
# Builds everything and runs the whole suite headless. Tests that need a
# display run under a private Xvfb (-noreset: the server stays up when its last
# client leaves, as a desktop's does); OpenAL uses its null backend. --sanitize
# runs the suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(bash tools/build.sh "$@" | tail -n 1)
export ALSOFT_DRIVERS=null
JOBS=$(nproc 2>/dev/null || echo 2)
cd "$BUILD_DIR"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure -j "$JOBS"
fi
exec ctest --output-on-failure -j "$JOBS"
