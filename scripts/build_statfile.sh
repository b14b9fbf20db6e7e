#!/usr/bin/env bash
# Rebuilds the shipped statistics table data/statfile.tab and its accuracy
# report docs/accuracy.md and docs/accuracy.svg from the open chemical shift
# data beside the project.
#
# usage: scripts/build_statfile.sh [MIRELON_STATS [SHARED_DATA [OUT_DIR]]]
#   MIRELON_STATS  the built program (default build/mirelon-stats)
#   SHARED_DATA    the shared data folder (default ../shared/data)
#   OUT_DIR        where data/ and docs/ are written (default: the project)
# environment:
#   EVALUATION=0       write the table alone, no evaluation
#   EVALUATION_RNAS=N  evaluate holding out only the first N RNAs (quick)
#   STRUCTURE_LIST     another dot-bracket list in the format of the mcsf one
#
# The entries: every PDB id of the dot-bracket list
# mcsf/structures_wo_dash_210419.txt (first line of an id that is listed
# twice) that has a cs2structure shift list, the corrected list where there is
# one, the raw list otherwise; the other ids as structure-only entries, which
# count for how often each context key occurs. Lower-case letters of the list
# are bases of the construct: mirelon-stats -u writes them in upper case.
set -euo pipefail
project=$(cd "$(dirname "$0")/.." && pwd)
stats=${1:-$project/build/mirelon-stats}
shared=${2:-$project/../shared/data}
out=${3:-$project}
shifts=$shared/shifts

# Residue numbers of the shift lists that differ from the positions of the
# dot-bracket sequence by a constant (found by aligning the two sequences).
declare -A offsets=([2M58]=1 [2MXJ]=-15)

work=$(mktemp -d "${TMPDIR:-/tmp}/statfile.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/db"
manifest=$work/manifest.txt
: >"$manifest"
declare -A seen=()
# "|| [[ -n $id ]]": the list's last line has no line end, and read fails on
# it after filling the variables.
while read -r id sequence structure _ || [[ -n ${id:-} ]]; do
  [[ -n ${id:-} && -z ${seen[$id]:-} ]] || continue
  seen[$id]=1
  printf '>%s\n%s\n%s\n' "$id" "$sequence" "$structure" >"$work/db/$id.db"
  list=$shifts/cs2structure/corrected_chemical_shifts/measured_shifts_$id.dat
  [[ -f $list ]] || list=$shifts/cs2structure/raw_chemical_shifts/measured_shifts_$id.dat
  [[ -f $list ]] || list=-
  echo "$id db/$id.db $list ${offsets[$id]:-}" >>"$manifest"
done <"${STRUCTURE_LIST:-$shifts/mcsf/structures_wo_dash_210419.txt}"

mkdir -p "$out/data" "$out/docs"
# The shrunk table with mirelon-stats' defaults (-k 8; -r 2 for the raw table
# it is compared with). EVALUATION=0 skips the leave-one-RNA-out evaluation
# (tens of minutes) and writes the table alone; EVALUATION_RNAS=N holds out
# only the first N RNAs.
evaluation=()
[[ ${EVALUATION:-1} == 0 ]] || evaluation=(-e "$out/docs/accuracy")
[[ -z ${EVALUATION_RNAS:-} ]] || evaluation+=(-y "$EVALUATION_RNAS")
"$stats" -u -d 2021-04-19 \
  -n "Sources: assigned chemical shifts from cs2structure (atfrank/CS2Structure, commit" \
  -n "361ce25e: the corrected shift list of an RNA where there is one, the raw list" \
  -n "otherwise; MIT licence), deposited in the BMRB by their authors; secondary" \
  -n "structures from the dot-bracket list lists/structures_wo_dash_210419.txt of mcsf" \
  -n "(PetzoldLab/mcsf-git, commit b688e1ce; GPL-3.0), joined with the shifts by PDB id." \
  -n "Licences: those of the sources named above; this table holds only statistics" \
  -n "derived from them. The date is that of the structure list." \
  -n "Rebuilt with scripts/build_statfile.sh." \
  -o "$out/data/statfile.tab" "${evaluation[@]}" "$manifest" >"$work/report.txt"
cat "$work/report.txt"
