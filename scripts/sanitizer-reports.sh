#!/bin/sh
# Prints every sanitizer report in the folder DIR and fails when there is
# one: a report from any process counts, even one whose exit code no test
# looks at. Usage: sanitizer-reports.sh DIR
set -eu
logs=${1:?usage: $0 DIR}
[ -n "$(ls -A "$logs")" ] || exit 0
echo "sanitizer reports:" >&2
for report in "$logs"/*; do
  echo "--- $report" >&2
  cat "$report" >&2
done
exit 1
