#!/usr/bin/env bash
# Times the whole program on the benchmark case at a quarter, half and all
# of its largest size, five runs each, and prints the best wall time and the
# largest peak memory (maximum resident set size) of the runs. The peak comes
# from /usr/bin/time -v; the wall time is taken around a run of its own with
# the shell's microsecond clock, since /usr/bin/time shows hundredths only.
#
# usage: bench/run.sh MIRELON MIRELON_BENCH_CASE
set -eu
program=$(realpath "$1")
make_case=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf '%-6s %9s %9s %9s %12s\n' scale residues entries 'wall ms' 'peak KiB'
for scale in 0.25 0.5 1; do
  dir=$work/$scale
  mkdir "$dir"
  "$make_case" "$dir" "$scale"
  cd "$dir"
  best=
  peak=0
  for run in 1 2 3 4 5; do
    /usr/bin/time -v "$program" >/dev/null 2>"$dir/time"
    start=${EPOCHREALTIME/./}
    "$program" >/dev/null
    end=${EPOCHREALTIME/./}
    ms=$(((end - start + 500) / 1000))
    kib=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$dir/time")
    if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    if ((kib > peak)); then peak=$kib; fi
  done
  printf '%-6s %9d %9d %9d %12d\n' "$scale" "$(wc -l <"$dir/idarrayke.txt")" \
    "$(wc -l <"$dir/kesta.prot")" "$best" "$peak"
done
