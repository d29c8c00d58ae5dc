#!/usr/bin/env bash
# Runs the script workloads of bench_scripts beside the same programs in Lua 5.4 and
# Python 3 (bench/scripts/*.lua, *.py) and prints the times and the ratios.
#
#   bench/compare.sh [SYNTAX] [REPS]
#
# SYNTAX is the engine's form of the programs: pas (default), cpp, js or vb. REPS (default
# 3) runs per program; every figure is the median CPU time of one run(n) in milliseconds,
# start-up and compiling not included. Needs build/bin/bench_scripts (scripts/build.sh),
# lua5.4 and python3 (Debian packages lua5.4 and python3).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
syntax=${1:-pas}
reps=${2:-3}
bench=${SKLAD_BUILD_DIR:-$here/../build}/bin/bench_scripts
[ -x "$bench" ] || { echo "no $bench: build first (scripts/build.sh)"; exit 1; }
command -v lua5.4 >/dev/null || { echo "lua5.4 missing: apt-get install lua5.4"; exit 1; }
command -v python3 >/dev/null || { echo "python3 missing: apt-get install python3"; exit 1; }

json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$bench" --benchmark_filter="BM_.*/$syntax\$" --benchmark_repetitions="$reps" \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$json" 2>/dev/null

declare -A size=([loop]=10000000 [fib]=27 [float]=5000000 [string]=200000 [chain]=200000 [method]=1000000 [property]=1000000 [report]=100000)
printf '%-8s %10s %12s %12s %12s %10s %10s\n' workload n "engine ms" "Lua ms" "Python ms" "x Lua" "x Python"
for w in loop fib float string chain method property report; do
  engine=$(python3 - "$json" "BM_$w/$syntax" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
# the median of several runs; a single run has no aggregate and stands for itself
runs = [b for b in data["benchmarks"] if b.get("run_name") == sys.argv[2]]
pick = [b for b in runs if b.get("aggregate_name") == "median"] or [b for b in runs if b.get("run_type") == "iteration"]
print("%.3f" % pick[0]["cpu_time"] if pick else "-")
PY
)
  lua=$(lua5.4 "$here/scripts/runner.lua" "$here/scripts/$w.lua" "${size[$w]}" "$reps" | cut -d' ' -f1)
  py=$(python3 "$here/scripts/runner.py" "$here/scripts/$w.py" "${size[$w]}" "$reps" | cut -d' ' -f1)
  if [ "$engine" = "-" ]; then
    printf '%-8s %10s %12s %12s %12s %10s %10s\n' "$w" "${size[$w]}" - "$lua" "$py" - -
  else
    awk -v w="$w" -v n="${size[$w]}" -v e="$engine" -v l="$lua" -v p="$py" \
      'BEGIN { printf "%-8s %10s %12.1f %12.1f %12.1f %10.2f %10.2f\n", w, n, e, l, p, e / l, e / p }'
  fi
done
