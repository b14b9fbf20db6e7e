#!/usr/bin/env bash
# The manual pages render without a single warning. Exit status 77 (test
# skipped) where groff is not installed.
set -euo pipefail
source_dir=$1
command -v groff >/dev/null || { echo "groff not installed"; exit 77; }
status=0
for page in "$source_dir"/man/*.1; do
  warnings=$(groff -ww -man -Tutf8 "$page" 2>&1 >/dev/null)
  if [[ -n $warnings ]]; then
    echo "$page:"
    echo "$warnings"
    status=1
  fi
done
exit $status
