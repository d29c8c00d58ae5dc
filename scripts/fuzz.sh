#!/usr/bin/env bash
# Builds one libFuzzer target with clang (into build-fuzz/, or $SKLAD_FUZZ_BUILD_DIR) and runs it.
#
#   bash scripts/fuzz.sh                          lists the targets
#   bash scripts/fuzz.sh TARGET [SECONDS] [ARGS]  runs TARGET for SECONDS (default 1800)
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

CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKLAD_FUZZ=ON -DSKLAD_BUILD_TESTS=OFF -DSKLAD_BUILD_BENCH=OFF -DSKLAD_WITH_QT=OFF >/dev/null
if [ $# -eq 0 ]; then
  cmake --build "$build" --target help | sed -n 's/^\.\.\. \(fuzz_[A-Za-z_]*\).*/\1/p' | sort
  exit 0
fi
target=$1
seconds=${2:-1800}
shift $(( $# >= 2 ? 2 : 1 ))
seeds=$root/$(corpus_of "$target") || { echo "unknown fuzz target: $target"; exit 1; }
cmake --build "$build" -j "$(nproc)" --target "$target"
mkdir -p "$build/corpus/$target" "$build/findings/$target"
exec "$build/bin/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
  -artifact_prefix="$build/findings/$target/" "$@" "$build/corpus/$target" "$seeds"
