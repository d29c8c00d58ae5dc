#!/bin/sh
# Runs PROGRAM under LeakSanitizer with the project's suppressions and passes only when
# the leak of FUNCTION (BYTES bytes) is reported.
#   ExpectLeak.sh PROGRAM SUPPRESSIONS FUNCTION BYTES
program=$1 supp=$2 function=$3 bytes=$4
out=$(ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$supp:print_suppressions=0 "$program" 2>&1)
status=$?
if [ "$status" -ne 0 ] && printf '%s\n' "$out" | grep -q "Direct leak of $bytes byte" &&
   printf '%s\n' "$out" | grep -q "$function"; then
  echo "the leak of $function was reported"
  exit 0
fi
printf '%s\n' "$out" | tail -n 40
echo "LeakSanitizer did not report the leak of $function (exit status $status)"
exit 1
