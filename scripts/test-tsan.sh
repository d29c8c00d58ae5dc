#!/usr/bin/env bash
# Builds the painting tests with ThreadSanitizer into build-tsan/ (or $SKLAD_TSAN_BUILD_DIR) and runs
# those that paint on threads of their own several times in one process: any report fails.
# Qt itself is not instrumented, so only our own locking and sharing are checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SKLAD_TSAN_BUILD_DIR:-$root/build-tsan}
jobs=${SKLAD_JOBS:-4}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread \
  -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
  -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread -DSKLAD_BUILD_BENCH=OFF -DSKLAD_BUILD_PROGRAMS=OFF "$@" >/dev/null
cmake --build "$build" -j "$jobs" --target test_qt_graphics
export TSAN_OPTIONS=halt_on_error=1:exitcode=66
QT_QPA_PLATFORM=offscreen "$build/bin/test_qt_graphics" --gtest_filter='*Pdf*' --gtest_repeat=5 --gtest_brief=1
