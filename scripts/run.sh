#!/usr/bin/env bash
# Installs what is missing, builds, prepares the run folder run/ and starts the program there.
#
# run/ holds what the program keeps beside itself: the template New/New.kvb, "sklad.ini" and
# the warehouse files. On the first run it gets a demo warehouse, remembered in "sklad.ini",
# so the program opens straight onto it (its password is 1234).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SKLAD_BUILD_DIR:-$root/build}
run=${SKLAD_RUN_DIR:-$root/run}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

mkdir -p "$run/New"
cp -f "$build/bin/New/New.kvb" "$run/New/New.kvb"
if [ ! -f "$run/sklad.ini" ]; then
  demo="$run/Демо.kvb"
  "$build/bin/sklad_demo" "$run/New/New.kvb" "$root/app/db/demo.sql" "$demo"
  printf '[LASTFILE]\r\nLastFile=%s\r\n' "$demo" > "$run/sklad.ini"
fi

cd "$run"
SKLAD_HOME="$run" exec "$build/bin/sklad" "$@"
