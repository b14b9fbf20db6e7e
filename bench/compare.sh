#!/usr/bin/env bash
# Differential run of two builds: runs mirelon (several levels, and with -w),
# mirelon-check and mirelon-nef of OLD_DIR and of NEW_DIR on the same inputs,
# each in a fresh directory that already holds outputs of an earlier run, and
# compares everything: standard output, standard error, exit status and
# every file the directory holds afterwards.
#
# Inputs: the benchmark case at several scales (mirelon-bench-case of
# NEW_DIR), random CT files (several strands, odd bases, pseudoknots, a few
# malformed lines), every file under ../shared/data/ct when present, and the
# shipped table beside three faulty copies of it.
#
# usage: bench/compare.sh OLD_DIR NEW_DIR [RANDOM_CASES]
#   OLD_DIR, NEW_DIR: folders that hold mirelon, mirelon-check, mirelon-nef
#   (a build folder, or a copy of its programs); NEW_DIR also
#   mirelon-bench-case. RANDOM_CASES: how many random CT files (default 40).
# Prints one line per difference and a summary; exits 1 when any differ.
set -u
# mirelon-nef's creation date and uuid follow this instead of the clock.
export SOURCE_DATE_EPOCH=1700000000
old=$(realpath "$1")
new=$(realpath "$2")
random_cases=${3:-40}
repo=$(cd "$(dirname "$0")/.." && pwd)
shared=$repo/../shared/data/ct
work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/inputs" "$work/runs"

# Random CT files: strands of random bases (now and then T, N or a lower
# case letter), pairs drawn with nesting or crossing, and, in one file in
# eight, a line with a column too many or a column 1 that falls back.
make_random_ct() {  # SEED FILE
  awk -v seed="$1" 'BEGIN {
    srand(seed);
    n = 1 + int(rand() * (rand() < 0.2 ? 900 : 120));
    split("A C G U A C G U A C G U T N a g", bases, " ");
    for (i = 1; i <= n; i++) { base[i] = bases[1 + int(rand() * 16)]; partner[i] = 0; }
    for (k = int(rand() * n / 3); k > 0; k--) {
      i = 1 + int(rand() * n); j = 1 + int(rand() * n);
      if (i != j && partner[i] == 0 && partner[j] == 0) { partner[i] = j; partner[j] = i; }
    }
    for (i = 1; i < n; i++) brk[i] = rand() < 0.02;
    fault = rand() < 0.125 ? 1 + int(rand() * n) : 0;
    printf "%d\trandom %d\n", n, seed;
    for (i = 1; i <= n; i++) {
      before = (i == 1 || brk[i - 1]) ? 0 : i - 1;
      after = (i == n || brk[i]) ? 0 : i + 1;
      index_text = i;
      if (i == fault && rand() < 0.5) index_text = i - 2;
      printf "%s\t%s\t%d\t%d\t%d\t%d%s\n", index_text, base[i], before, after, partner[i], i,
             (i == fault && index_text == i) ? "\textra" : "";
    }
  }' >"$2"
}

inputs=()
for scale in 0.1 0.25 0.5 1; do
  dir=$work/inputs/bench-$scale
  mkdir "$dir"
  "$new/mirelon-bench-case" "$dir" "$scale"
  inputs+=("$dir/rna.ct|$dir/statfile.tab")
done
table=$repo/data/statfile.tab
for ((seed = 1; seed <= random_cases; seed++)); do
  make_random_ct "$seed" "$work/inputs/random-$seed.ct"
  inputs+=("$work/inputs/random-$seed.ct|$table")
done
if [[ -d $shared ]]; then
  while IFS= read -r file; do inputs+=("$file|$table"); done < <(find "$shared" -type f | sort)
fi
# Faulty tables: a spread that is no number, a missing third terminator,
# a record with a field too few.
awk 'f == 0 && !/^[#:]/ && NF { $6 = "nan"; f = 1 } { print }' "$table" >"$work/inputs/nan.tab"
head -n -1 "$table" | sed '$d' >"$work/inputs/short.tab"
awk 'f == 0 && !/^[#:]/ { NF--; f = 1 } { print }' "$table" >"$work/inputs/fields.tab"
first_ct=$repo/examples/rna.ct
[[ -f $first_ct ]] || first_ct=$work/inputs/random-1.ct
for faulty in nan short fields; do inputs+=("$first_ct|$work/inputs/$faulty.tab"); done

# Runs one program of build $1 on CT $2 and table $3 in a fresh directory
# $4 that holds outputs of an earlier run; the rest are its arguments.
run_in() {
  local bin=$1 ct=$2 tab=$3 dir=$4
  shift 4
  mkdir -p "$dir"
  cp "$ct" "$dir/rna.ct"
  cp "$tab" "$dir/statfile.tab"
  for earlier in kesta.prot kesta.seq kesta.aco idarrayke.txt hb.mac; do
    echo "earlier $earlier" >"$dir/$earlier"
  done
  local program=$1
  shift
  (cd "$dir" && "$bin/$program" "$@" >stdout.txt 2>stderr.txt; echo "$?" >status.txt)
}

configurations=(
  "mirelon -s rna.ct -f statfile.tab -c 1"
  "mirelon -s rna.ct -f statfile.tab"
  "mirelon -s rna.ct -f statfile.tab -c 6"
  "mirelon -s rna.ct -f statfile.tab -c 11 -w hb.mac"
  "mirelon-check -s rna.ct -f statfile.tab -o out"
  "mirelon-nef -s rna.ct -f statfile.tab"
)
compared=0
completed=0
differing=0
case_number=0
for input in "${inputs[@]}"; do
  ct=${input%%|*}
  tab=${input#*|}
  case_number=$((case_number + 1))
  for k in "${!configurations[@]}"; do
    read -r -a words <<<"${configurations[$k]}"
    run_in "$old" "$ct" "$tab" "$work/runs/old" "${words[@]}"
    run_in "$new" "$ct" "$tab" "$work/runs/new" "${words[@]}"
    compared=$((compared + 1))
    [[ $(cat "$work/runs/old/status.txt") == 0 ]] && completed=$((completed + 1))
    if ! diff -r -q "$work/runs/old" "$work/runs/new" >/dev/null; then
      differing=$((differing + 1))
      echo "differs: ${configurations[$k]} on ${ct#"$work/inputs/"} with ${tab#"$work/inputs/"}"
      diff -r "$work/runs/old" "$work/runs/new" | head -5
    fi
    rm -rf "$work/runs/old" "$work/runs/new"
  done
done
echo "compared $compared runs of ${#inputs[@]} inputs ($completed complete, the others ended by an error): $differing differ"
[[ $differing -eq 0 ]]
