#!/usr/bin/env bash
# Checks that the committed statistics table is exactly what
# scripts/build_statfile.sh makes from the shared data, and runs the reduced
# evaluation (the first 5 RNAs held out), whose report must be exactly the
# committed one: the machinery of the full evaluation, in a few seconds. The
# full report docs/accuracy.md comes from a run of the script without
# EVALUATION_RNAS (minutes) and is not rebuilt here.
#
# usage: check_statfile.sh MIRELON_STATS PROJECT_DIR SHARED_DATA
set -u
stats=$1
project=$2
shared=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-statfile.XXXXXX")
trap 'rm -rf "$work"' EXIT
EVALUATION_RNAS=5 bash "$project/scripts/build_statfile.sh" "$stats" "$shared" "$work" \
  >"$work/report.txt" || {
  cat "$work/report.txt"
  exit 1
}
status=0
compare() {  # compare COMMITTED MADE
  if ! cmp -s "$2" "$1"; then
    echo "${1#"$project"/} differs from what scripts/build_statfile.sh makes:"
    diff "$1" "$2" | head -20
    status=1
  fi
}
compare "$project/data/statfile.tab" "$work/data/statfile.tab"
compare "$project/tests/stats/accuracy_first5.md" "$work/docs/accuracy.md"
exit $status
