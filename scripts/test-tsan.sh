#!/usr/bin/env bash
# Builds the painting and printing tests with ThreadSanitizer into build-tsan/ (or $SKLAD_TSAN_BUILD_DIR)
# and runs those that paint or build pages on threads of their own several times in one process:
# any report fails.
# Qt itself is not instrumented, so only our own locking and sharing are checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SKLAD_TSAN_BUILD_DIR:-$root/build-tsan}
jobs=${SKLAD_JOBS:-4}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread \
  -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
  -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread -DSKLAD_BUILD_BENCH=OFF -DSKLAD_BUILD_PROGRAMS=OFF "$@" >/dev/null
cmake --build "$build" -j "$jobs" --target test_qt_graphics test_report_engine test_report_engine_pdf
export TSAN_OPTIONS=halt_on_error=1:exitcode=66
QT_QPA_PLATFORM=offscreen "$build/bin/test_qt_graphics" --gtest_filter='*Pdf*' --gtest_repeat=5 --gtest_brief=1
QT_QPA_PLATFORM=offscreen "$build/bin/test_report_engine_pdf" --gtest_repeat=5 --gtest_brief=1
(cd "$root/report/output/tests" && QT_QPA_PLATFORM=offscreen "$build/bin/test_report_engine" --gtest_filter='PagesPrint*' \
  --gtest_repeat=5 --gtest_brief=1)
