#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a given time.
#
# usage: run_fuzzers.sh SECONDS [BUILD_DIR] [TARGET...]
#
# The build goes to BUILD_DIR (default build-fuzz beside the sources). Each
# target runs on a working copy of its seed corpus under tests/fuzz/corpus;
# an input that crashes, leaks, hangs or breaks an invariant is kept in
# BUILD_DIR/fuzz-findings/<target>/ and makes the script fail. The last
# lines of each run (executions, coverage) are printed.
set -euo pipefail
seconds=${1:?usage: run_fuzzers.sh SECONDS [BUILD_DIR] [TARGET...]}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=${2:-$source_dir/build-fuzz}
# Absolute: the whole-run target works in a directory of its own.
build=$(realpath -m "$build")
shift $(( $# >= 2 ? 2 : 1 ))
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  targets=(ct_reader nef_reader residue_ids stat_table structure_files whole_run)
fi

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -DMIRELON_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

status=0
for target in "${targets[@]}"; do
  work=$build/fuzz-corpus/$target
  findings=$build/fuzz-findings/$target
  mkdir -p "$work" "$findings"
  cp -n "$source_dir/tests/fuzz/corpus/$target/"* "$work/" 2>/dev/null || true
  log=$build/fuzz-$target.log
  echo "== $target: ${seconds}s"
  if ! "$build/tests/fuzz/${target}_fuzz" "$work" -max_total_time="$seconds" -max_len=65536 \
      -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$findings/" \
      >"$log" 2>&1; then
    echo "FINDING in $target (see $log and $findings)"
    status=1
  fi
  grep -E "^(Done|stat::number_of_executed_units|#[0-9]+.*DONE)" "$log" | tail -2 || true
  grep -E "cov: [0-9]+" "$log" | tail -1 | sed 's/^/  /' || true
done
exit $status
