#!/usr/bin/env bash
# Runs one Windows test program under Wine and judges it by its XML report, never by
# its exit status alone: a program that cannot start under Wine may exit 0 and print
# nothing. Usage: run_under_wine.sh <program.exe> [gtest arguments...]
set -uo pipefail
program=$1
shift
report_dir=$(dirname "$program")/reports
mkdir -p "$report_dir"
name=${LUMETRA_REPORT_NAME:-$(basename "$program" .exe)}
report="$report_dir/$name.xml"
rm -f "$report"

# The report is written relative to the working folder: Wine maps a Linux absolute
# path onto drive Z:, which a 32-bit and a 64-bit program see alike.
(cd "$report_dir" && wine "$program" --gtest_output="xml:$name.xml" "$@")
status=$?

if [ ! -s "$report" ]; then
  echo "FAIL: $name wrote no test report (exit status $status): it did not run under Wine"
  exit 1
fi
attribute() {
  sed -n "s/.*<testsuites[^>]* $1=\"\([0-9]*\)\".*/\1/p" "$report" | head -1
}
tests=$(attribute tests)
failures=$(attribute failures)
errors=$(attribute errors)
echo "$name: ${tests:-0} Windows tests ran, ${failures:-?} failed, ${errors:-?} errors" \
  "(exit status $status)"
if [ "${tests:-0}" -eq 0 ] || [ "${failures:-1}" -ne 0 ] || [ "${errors:-1}" -ne 0 ] ||
  [ "$status" -ne 0 ]; then
  exit 1
fi
