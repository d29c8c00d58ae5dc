#!/usr/bin/env bash
# Builds one libFuzzer target with clang (into build-fuzz/, or $SKLAD_FUZZ_BUILD_DIR) and runs it.
#
#   bash scripts/fuzz.sh                          lists the targets
#   bash scripts/fuzz.sh TARGET [SECONDS] [ARGS]  runs TARGET for SECONDS (default 1800)
#   bash scripts/fuzz.sh --all [SECONDS]          builds every target and runs each for SECONDS
#                                                 (default 10), as many at once as there are
#                                                 cores; fails when any target finds something
#
# The run starts from the target's corpus in the sources and keeps what it learns in
# build-fuzz/corpus/TARGET; a crash, leak or hang is written to build-fuzz/findings/TARGET/.
# Fix a finding, then copy its input into the corpus folder in the sources: the normal tests
# replay every corpus file through the same target code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SKLAD_FUZZ_BUILD_DIR:-$root/build-fuzz}

# target -> its corpus folder in the sources
corpus_of() {
  case "$1" in
    fuzz_rtl_text) echo platform/rtl/fuzz/corpus/text ;;
    fuzz_classes_*) echo "platform/classes/fuzz/corpus/${1#fuzz_classes_}" ;;
    fuzz_warehouse) echo platform/db/fuzz/corpus/warehouse ;;
    fuzz_graphics_*) echo "platform/graphics/fuzz/corpus/${1#fuzz_graphics_}" ;;
    fuzz_script_XmlReader) echo script/fuzz/corpus/xml ;;
    fuzz_script_Lexer) echo script/fuzz/corpus/lexer ;;
    fuzz_script_Compile) echo script/fuzz/corpus/compile ;;
    fuzz_report_PreparedReport) echo report/output/fuzz/corpus/PreparedReport ;;
    fuzz_report_*) echo "report/model/fuzz/corpus/${1#fuzz_report_}" ;;
    fuzz_sklad_import) echo app/documents/fuzz/corpus/sklad_import ;;
    *) return 1 ;;
  esac
}

# Options a target needs beyond the common ones.
options_of() {
  case "$1" in
    # Short scripts reach the same constructs, many times faster than long ones.
    fuzz_script_Compile) echo -max_len=512 ;;
  esac
}

jobs=${SKLAD_JOBS:-$(nproc)}
"$root/scripts/install-deps.sh" fuzz
CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKLAD_FUZZ=ON -DSKLAD_BUILD_TESTS=OFF -DSKLAD_BUILD_BENCH=OFF -DSKLAD_WITH_QT=OFF \
  -DSKLAD_BUILD_PROGRAMS=OFF >/dev/null
targets() {
  cmake --build "$build" --target help | sed -n 's/^\.\.\. \(fuzz_[A-Za-z_]*\).*/\1/p' | sort
}
if [ $# -eq 0 ]; then
  targets
  exit 0
fi

# One run of a built target from its corpus; its output goes to build-fuzz/logs/TARGET.log.
run_one() {
  local target=$1 seconds=$2
  shift 2
  local seeds
  seeds=$root/$(corpus_of "$target") || { echo "unknown fuzz target: $target"; return 1; }
  mkdir -p "$build/corpus/$target" "$build/findings/$target"
  # shellcheck disable=SC2046
  "$build/bin/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
    $(options_of "$target") -artifact_prefix="$build/findings/$target/" "$@" "$build/corpus/$target" "$seeds"
}

if [ "$1" = --all ]; then
  seconds=${2:-10}
  mapfile -t all < <(targets)
  [ ${#all[@]} -gt 0 ] || { echo "no fuzz targets"; exit 1; }
  for t in "${all[@]}"; do corpus_of "$t" >/dev/null || { echo "no corpus known for $t"; exit 1; }; done
  cmake --build "$build" -j "$jobs" --target "${all[@]}"
  mkdir -p "$build/logs"
  failed=()
  pids=()
  names=()
  wait_first() {
    local i
    wait "${pids[0]}" || { failed+=("${names[0]}"); tail -n 40 "$build/logs/${names[0]}.log"; }
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  }
  for t in "${all[@]}"; do
    [ ${#pids[@]} -lt "$jobs" ] || wait_first
    run_one "$t" "$seconds" >"$build/logs/$t.log" 2>&1 &
    pids+=($!)
    names+=("$t")
  done
  while [ ${#pids[@]} -gt 0 ]; do wait_first; done
  for t in "${all[@]}"; do
    printf '%-32s %s\n' "$t" "$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$t.log" | grep -o '[0-9]*$') runs"
  done
  if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz targets that failed: ${failed[*]}"
    exit 1
  fi
  echo "all ${#all[@]} fuzz targets built and ran ${seconds} s each without a finding"
  exit 0
fi

target=$1
seconds=${2:-1800}
shift $(( $# >= 2 ? 2 : 1 ))
corpus_of "$target" >/dev/null || { echo "unknown fuzz target: $target"; exit 1; }
cmake --build "$build" -j "$jobs" --target "$target"
run_one "$target" "$seconds" "$@"
