#!/bin/sh
# Fails when a test wrote into the user's real home: settings (~/.config), data and caches
# (~/.local, ~/.cache) or files directly in it, newer than the stamp made before the tests.
#   CheckRealHome.sh stamp     makes the stamp
#   CheckRealHome.sh check     lists what was written since, and fails if anything was
set -eu
home=${SKLAD_REAL_HOME:?run through ctest}
stamp=${SKLAD_TEST_ROOT:?run through ctest}/../real-home.stamp
case "$1" in
stamp)
  [ "$home" != "$HOME" ] || { echo "tests run in the real home $home"; exit 1; }
  touch "$stamp" ;;
check)
  [ -f "$stamp" ] || { echo "no stamp: the stamp test did not run"; exit 1; }
  written=$( { find "$home" -maxdepth 1 -newer "$stamp" ! -type d
               for d in .config .local .cache; do
                 [ -d "$home/$d" ] && find "$home/$d" -newer "$stamp" ! -type d ! -path "$home/.cache/ccache/*"
               done; } 2>/dev/null || true)
  if [ -n "$written" ]; then
    echo "tests wrote into the real home $home:"; echo "$written"; exit 1
  fi
  echo "nothing written into $home" ;;
esac
