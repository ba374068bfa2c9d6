#!/usr/bin/env bash
# Fuzzes the engine's readers with libFuzzer.
#
#   bash tools/fuzz.sh [target|all] [seconds]
#
# Builds the fuzz targets (fuzz/targets/<name>.cpp) with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-fuzz/ and runs each named target
# (default: all, one after another) for the given time (default 60 s). Each
# target's working corpus is build-fuzz/corpus/<target>/, started from the
# committed text seeds (fuzz/corpus/<target>/), the generated binary seeds and
# the crash reproducers (fuzz/regressions/<target>/). Crash, leak and timeout
# inputs land in build-fuzz/findings/<target>/.
#
# The game's targets (game_*: its configuration readers, and game_level, a
# level run headless under random commands) add a mutator that swaps numbers
# of their text inputs for extreme values (0, -1, the ends of the int range,
# 1e20, text that is no number), which plain byte mutation seldom reaches.
# game_level runs up to ten simulated minutes per input: give it a longer
# -timeout than the readers.
#
# Extra libFuzzer flags come from FUZZ_FLAGS, e.g. FUZZ_FLAGS="-max_len=2048
# -timeout=10" (a short -max_len keeps the XML readers quick). To look past a
# leak already known, run with ASAN_OPTIONS=detect_leaks=0. Run several targets
# at once from separate shells; each takes one core.
#
# A crash found and mended: copy its input to fuzz/regressions/<target>/ (a
# short descriptive name) and commit it; the normal test suite replays every
# target over its seeds and regressions (the fuzz_replay_* tests).
#
# Needs clang and libFuzzer's runtime (Debian: clang, libclang-rt-14-dev), which
# the normal build does not; this script installs them with apt-get when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
TARGET=${1:-all}
SECONDS_EACH=${2:-60}

bash tools/install-deps.sh
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
for p in "${FUZZ_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${FUZZ_PACKAGES[@]}"
    break
  fi
done

BUILD_DIR=build-fuzz
JOBS=${FUZZ_BUILD_JOBS:-4}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DENGINE_FUZZ=ON -DENGINE_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
if [ "$TARGET" = all ]; then
  cmake --build "$BUILD_DIR" -j "$JOBS" >&2
  TARGETS=$(cd fuzz/targets && ls *.cpp | sed 's/\.cpp$//')
else
  [ -f "fuzz/targets/$TARGET.cpp" ] || { echo "no fuzz target $TARGET (see fuzz/targets/)" >&2; exit 1; }
  cmake --build "$BUILD_DIR" -j "$JOBS" --target "fuzz_$TARGET" fuzz_seeds >&2
  TARGETS=$TARGET
fi
"$BUILD_DIR/fuzz/fuzz_seeds" "$BUILD_DIR/fuzz/seeds"

for t in $TARGETS; do
  corpus="$BUILD_DIR/corpus/$t"
  findings="$BUILD_DIR/findings/$t"
  mkdir -p "$corpus" "$findings"
  seeds=()
  for dir in "$BUILD_DIR/fuzz/seeds/$t" "fuzz/corpus/$t" "fuzz/regressions/$t"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  echo "== $t for ${SECONDS_EACH}s" >&2
  # The corpus folder comes first: libFuzzer adds what it finds there only.
  # shellcheck disable=SC2086
  "$BUILD_DIR/fuzz/fuzz_$t" "$corpus" "${seeds[@]}" -max_total_time="$SECONDS_EACH" \
    -artifact_prefix="$findings/" -print_final_stats=1 ${FUZZ_FLAGS:-}
done
