#!/usr/bin/env bash
# Builds and starts the game. Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(bash tools/build.sh | tail -n 1)
GAME="$BUILD_DIR/game/lodgeroo"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$GAME" "$@"
fi
exec "$GAME" "$@"
