#!/usr/bin/env bash
# Builds the audio tests under ThreadSanitizer into build-tsan/ and runs them on
# OpenAL's null backend; any data race the sanitizer sees fails the run. The
# audio driver refills streamed sounds on a thread of its own, which the
# ordinary suite cannot check. Not part of CI. Extra arguments go to the tests
# (e.g. --gtest_filter=OpenALTest.*).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build-tsan
JOBS=$(nproc 2>/dev/null || echo 2)
FLAGS="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$FLAGS" -DCMAKE_CXX_FLAGS="$FLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >&2
cmake --build "$BUILD_DIR" -j "$JOBS" --target audio_tests >&2
export ALSOFT_DRIVERS=null
export TSAN_OPTIONS="second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
# The sanitizer's fixed memory layout clashes with the wide address
# randomisation of recent kernels; run without it.
RUN=()
if command -v setarch >/dev/null; then RUN=(setarch "$(uname -m)" -R); fi
exec "${RUN[@]}" "$BUILD_DIR/tests/audio_tests" "$@"
