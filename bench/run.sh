#!/usr/bin/env bash
# The benchmark of mirelon (docs/performance.md shows its figures).
#
# 1. The largest case (740 residues, 20000 context and 20000 base records):
#    mirelon and `LC_ALL=C wc -w statfile.tab rna.ct` run alternately, RUNS
#    rounds; the median CPU time (user + system) of each, their ratio, and
#    the peak resident memory of each.
# 2. Linear growth: mirelon's median CPU time at 100, 200, 400 and 740
#    residues with the full table, and the increment per residue (a least
#    squares line through the four medians).
# 3. When ../shared is present: mirelon, mirelon-check and mirelon-nef on the
#    780-nt intron of ../shared/data/ct with the shipped table, alternately,
#    and the ratios of the companions to mirelon. With OLD_MIRELON set to an
#    older mirelon, that one runs beside them and is the yardstick instead.
#
# CPU times and peaks come from bench/alternate.py (python3, /usr/bin/time).
#
# usage: bench/run.sh BUILD_DIR [RUNS]
#   BUILD_DIR holds mirelon, mirelon-check, mirelon-nef and
#   mirelon-bench-case (`cmake --build build --target bench` runs it on
#   its own build folder). RUNS defaults to 15.
set -eu
build=$(realpath "$1")
runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
alternate=("python3" "$here/alternate.py" "$runs")
work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Prints "NAME MEDIAN_MS MIN_MS MAX_MS PEAK_KIB" lines into the variable
# named first, from alternate.py run in directory $2 on the rest.
measure() {
  local -n into=$1
  into=$("${alternate[@]}" "$2" "${@:3}")
}
field() {  # LINES NAME COLUMN
  awk -v name="$2" -v column="$3" '$1 == name { print $column }' <<<"$1"
}

echo "Largest case, $runs rounds alternating with wc -w:"
mkdir "$work/max"
"$build/mirelon-bench-case" "$work/max" 1
measure result "$work/max" "wc=wc -w statfile.tab rna.ct" "mirelon=$build/mirelon"
printf '  %-8s %10s %12s\n' program 'median ms' 'peak KiB'
for name in wc mirelon; do
  printf '  %-8s %10s %12s\n' "$name" "$(field "$result" "$name" 2)" "$(field "$result" "$name" 5)"
done
awk -v m="$(field "$result" mirelon 2)" -v w="$(field "$result" wc 2)" \
  'BEGIN { printf "  ratio mirelon / wc -w: %.2f\n", m / w }'
printf '  shift list: %d entries\n' "$(wc -l <"$work/max/kesta.prot")"

echo "Growth with the full table (median CPU ms of $runs runs):"
points=()
for residues in 100 200 400 740; do
  mkdir "$work/r$residues"
  "$build/mirelon-bench-case" "$work/r$residues" 1 "$residues"
  measure result "$work/r$residues" "mirelon=$build/mirelon"
  ms=$(field "$result" mirelon 2)
  printf '  %4d residues: %8s ms\n' "$residues" "$ms"
  points+=("$residues $ms")
done
printf '%s\n' "${points[@]}" | awk '
  { n++; sx += $1; sy += $2; sxx += $1 * $1; sxy += $1 * $2 }
  END {
    slope = (n * sxy - sx * sy) / (n * sxx - sx * sx)
    printf "  increment: %.4f ms per residue (%.2f ms at no residue)\n", slope, (sy - slope * sx) / n
  }'

intron=$repo/../shared/data/ct/archiveII/grp2_a.I2.c.N.tabacum.A.A6.i1.ct
if [[ -f $intron ]]; then
  echo "780-nt intron with the shipped table, $runs rounds alternating:"
  mkdir "$work/intron"
  cp "$intron" "$work/intron/rna.ct"
  cp "$repo/data/statfile.tab" "$work/intron/statfile.tab"
  commands=("mirelon=$build/mirelon"
    "mirelon-check=$build/mirelon-check -s rna.ct -f statfile.tab -o check"
    "mirelon-nef=$build/mirelon-nef -s rna.ct -f statfile.tab")
  yardstick=mirelon
  if [[ -n ${OLD_MIRELON:-} ]]; then
    commands+=("old-mirelon=$(realpath "$OLD_MIRELON")")
    yardstick=old-mirelon
  fi
  measure result "$work/intron" "${commands[@]}"
  printf '  %-13s %10s %12s %14s\n' program 'median ms' 'peak KiB' "/ $yardstick"
  base=$(field "$result" "$yardstick" 2)
  while read -r name median _ _ peak; do
    printf '  %-13s %10s %12s %14s\n' "$name" "$median" "$peak" \
      "$(awk -v a="$median" -v b="$base" 'BEGIN { printf "%.2f", a / b }')"
  done <<<"$result"
fi
