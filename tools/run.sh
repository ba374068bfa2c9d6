#!/usr/bin/env bash
# Builds and starts the game. Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(bash tools/build.sh | tail -n 1)
GAME="$BUILD_DIR/game/citygame"
if [ ! -x "$GAME" ]; then
  echo "Everything is built. The game's program entry is not written yet; once it is, this starts $GAME."
  exit 0
fi
if [ -z "${DISPLAY:-}" ]; then
  export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$GAME"
fi
exec "$GAME"
