#!/usr/bin/env bash
# Builds the game and its content (not the tests) and starts it. Without a
# display it runs under Xvfb; -noreset keeps the server up between the
# program's X connections.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(bash tools/build.sh lodgeroo content | tail -n 1)
GAME="$BUILD_DIR/game/lodgeroo"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$GAME" "$@"
fi
exec "$GAME" "$@"
