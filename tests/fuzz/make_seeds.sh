#!/usr/bin/env bash
# Rebuilds the seed corpora of the fuzz targets from the golden cases: the CT
# files, residue-ID files and statistics tables they hold, and for the whole
# run one input per case that has both a CT file and a table.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
golden=$here/../mirelon/golden
corpus=$here/corpus
rm -rf "$corpus"
mkdir -p "$corpus"/{ct_reader,nef_reader,residue_ids,stat_table,structure_files,whole_run}

seed() {  # seed TARGET FILE: store under the content's checksum
  local sum
  sum=$(sha1sum <"$2" | cut -c1-16)
  cp "$2" "$corpus/$1/$sum"
}
for case_dir in "$golden"/*/; do
  ct=""
  table=""
  for f in "$case_dir"input/* "$case_dir"expected/files/*; do
    [[ -f $f ]] || continue
    case $(basename "$f") in
      *.ct) seed ct_reader "$f"; seed structure_files "$f"; ct=$f ;;
      *.db | *.bpseq | *.fa) seed structure_files "$f" ;;
      idarrayke.txt) seed residue_ids "$f" ;;
      *.tab) seed stat_table "$f"; table=$f ;;
    esac
  done
  if [[ -n $ct && -n $table ]]; then
    tmp=$(mktemp)
    { printf '\x05'; cat "$ct"; printf '\n%%%%\n'; cat "$table"; } >"$tmp"
    seed whole_run "$tmp"
    rm -f "$tmp"
  fi
done
# The structure files mirelon-ct reads and rejects.
for f in "$here"/../ct/golden/*/input/*; do
  [[ -f $f ]] && seed structure_files "$f"
done
# The NEF reader starts from the files mirelon-nef writes in its golden cases,
# and from the shift lists that mirelon-check and mirelon-stats read in theirs.
for f in "$here"/../nef/golden/*/expected/files/*.nef "$here"/../nef/golden/*/expected/stdout; do
  [[ -s $f ]] && grep -q '^data_nef_' "$f" && seed nef_reader "$f"
done
# (A file that names an absolute path, as one older golden input does, stays
# out: no path of a machine goes into the corpus.)
for f in "$here"/../check/golden/*/input/* "$here"/../stats/golden/*/input/*; do
  [[ $(basename "$f") != manifest.txt ]] && ! grep -q ' /[^ ]*/' "$f" || continue
  case $f in
    *.txt | *.str | *.nef) seed nef_reader "$f" ;;
  esac
done
# Files cut short inside a loop or a saveframe, and a whole run on a CT file
# and a table saved with a byte-order mark.
tmp=$(mktemp)
printf 'data_1\nsave_list\nloop_\n_Atom_chem_shift.Seq_ID\n_Atom_chem_shift.Comp_ID\n_Atom_chem_shift.Atom_ID\n_Atom_chem_shift.Val\n1 G H8 7.9\n2 C\n' >"$tmp"
seed nef_reader "$tmp"
printf 'data_nef_x\nsave_nef_chemical_shift_list_1\nloop_\n_nef_chemical_shift.chain_code\n_nef_chemical_shift.sequence_code\n_nef_chemical_shift.residue_name\n_nef_chemical_shift.atom_name\n_nef_chemical_shift.value\nA 1 G H8 7.9\nstop_\n' >"$tmp"
seed nef_reader "$tmp"
{
  printf '\x0b'
  cat "$golden/stat_byte_order_marks/input/hairpin.ct"
  printf '%%%%\n\xef\xbb\xbf'
  cat "$golden/stat_table_value_warnings/input/values.tab"
} >"$tmp"
seed whole_run "$tmp"
rm -f "$tmp"
for target in ct_reader nef_reader residue_ids stat_table structure_files whole_run; do
  echo "$target: $(ls "$corpus/$target" | wc -l) seeds"
done
