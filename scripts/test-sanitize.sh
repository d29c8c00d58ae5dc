#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer (GCC) into build-asan/
# (or $SKLAD_SANITIZE_BUILD_DIR) and runs every one of them there with leak checking on.
# Any report fails its test: undefined behaviour stops the program, and so does a leak.
# Only what the tests need is built (no benchmarks, no program or demos), with every core.
# Leaks of memory allocated inside Qt and fontconfig themselves are suppressed
# (scripts/lsan.supp names their allocating functions); a leak of our own code is a failure,
# also when Qt called that code. After the tests, a test checks the real home was not written.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SKLAD_SANITIZE_BUILD_DIR:-$root/build-asan}
jobs=${SKLAD_JOBS:-$(nproc)}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKLAD_SANITIZE=ON -DSKLAD_BUILD_BENCH=OFF \
  -DSKLAD_BUILD_PROGRAMS=OFF "$@" >/dev/null
cmake --build "$build" -j "$jobs"
cd "$build"
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 600
