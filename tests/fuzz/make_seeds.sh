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
# The NEF reader starts from the files mirelon-nef writes in its golden cases.
for f in "$here"/../nef/golden/*/expected/files/*.nef "$here"/../nef/golden/*/expected/stdout; do
  [[ -s $f ]] && grep -q '^data_nef_' "$f" && seed nef_reader "$f"
done
# And from the shift files of mirelon-check's golden cases: NEF, NMR-STAR
# and four-column lists, a NEF file without a shift list among them.
for f in "$here"/../check/golden/*/input/*.{nef,str,txt}; do
  [[ -f $f ]] && seed nef_reader "$f"
done
for target in ct_reader nef_reader residue_ids stat_table structure_files whole_run; do
  echo "$target: $(ls "$corpus/$target" | wc -l) seeds"
done
