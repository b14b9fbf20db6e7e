#!/usr/bin/env bash
# Checks that the committed statistics table and its accuracy report are
# exactly what scripts/build_statfile.sh makes from the shared data.
#
# usage: check_statfile.sh MIRELON_STATS PROJECT_DIR SHARED_DATA
set -u
stats=$1
project=$2
shared=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-statfile.XXXXXX")
trap 'rm -rf "$work"' EXIT
bash "$project/scripts/build_statfile.sh" "$stats" "$shared" "$work" >"$work/report.txt" || {
  cat "$work/report.txt"
  exit 1
}
status=0
for file in data/statfile.tab docs/accuracy.md docs/accuracy.svg; do
  if ! cmp -s "$work/$file" "$project/$file"; then
    echo "$file differs from what scripts/build_statfile.sh makes:"
    diff "$project/$file" "$work/$file" | head -20
    status=1
  fi
done
exit $status
