#!/usr/bin/env bash
# Configures and builds into build/ (or $SKLAD_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SKLAD_BUILD_DIR:-$root/build}
# SKLAD_BUILD_TYPE=Release (as CI uses) skips the debug information.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${SKLAD_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$build" -j "${SKLAD_JOBS:-$(nproc)}"
