#!/usr/bin/env bash
# scripts/build_statfile.sh must use every entry of its structure list, also
# the last line when the file does not end with a line end, and list the
# entries without shifts as structure-only entries.
#
# usage: build_statfile_list_test.sh PROJECT_DIR
set -u
project=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-list.XXXXXX")
trap 'rm -rf "$work"' EXIT
shared=$work/shared
mkdir -p "$shared/shifts/mcsf" "$shared/shifts/cs2structure/raw_chemical_shifts" "$work/out"
printf '1AAA GGAC ((.)\n2BBB GCGC (())\n1AAA GGGG ....\n3CCC GAAC (..)' \
  >"$shared/shifts/mcsf/structures_wo_dash_210419.txt"
for id in 1AAA 3CCC; do
  echo "G 1 H8 7.5" >"$shared/shifts/cs2structure/raw_chemical_shifts/measured_shifts_$id.dat"
done
# Stands in for mirelon-stats: prints the manifest it is given (last argument).
cat >"$work/stats" <<'STATS'
#!/usr/bin/env bash
for last; do :; done
cat "$last"
STATS
chmod +x "$work/stats"
manifest=$(EVALUATION=0 bash "$project/scripts/build_statfile.sh" "$work/stats" "$shared" "$work/out") || {
  echo "build_statfile.sh failed"
  exit 1
}
status=0
expect() {  # expect PATTERN WHAT
  if ! grep -Eq "$1" <<<"$manifest"; then
    echo "missing: $2"
    status=1
  fi
}
expect '^3CCC db/3CCC.db .*/measured_shifts_3CCC.dat' "the last entry, which has no line end"
expect '^2BBB db/2BBB.db - ?$' "the entry without shifts, as structure only"
expect '^1AAA db/1AAA.db .*/measured_shifts_1AAA.dat' "the first entry"
if [[ $(grep -c '^1AAA' <<<"$manifest") != 1 ]]; then
  echo "an id listed twice is used once"
  status=1
fi
[[ $status == 0 ]] || echo "$manifest"
exit $status
