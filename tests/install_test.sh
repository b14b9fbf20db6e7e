#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed program
# on the bundled hairpin with the installed statistics table; the outputs
# must be those the example expects, and the manual pages must be in place.
#
# usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source_dir=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/mirelon bin/mirelon-ct bin/mirelon-check bin/mirelon-nef share/man/man1/mirelon.1 \
         share/man/man1/mirelon-ct.1 share/man/man1/mirelon-check.1 share/man/man1/mirelon-nef.1 \
         share/mirelon/statfile.tab share/doc/mirelon/README.md \
         share/doc/mirelon/examples/hairpin/hairpin.ct; do
  [[ -e $prefix/$f ]] || { echo "not installed: $f"; exit 1; }
done
# The tools that need Boost are installed with their pages where they were built.
for tool in mirelon-stats mirelon-multipliers; do
  [[ -x $build/$tool ]] || continue
  for f in bin/$tool share/man/man1/$tool.1; do
    [[ -e $prefix/$f ]] || { echo "not installed: $f"; exit 1; }
  done
done
if ls "$prefix"/share/doc/mirelon/examples/*/kesta.* >/dev/null 2>&1; then
  echo "outputs of an example run were installed"
  exit 1
fi

run=$prefix/run
mkdir "$run"
cp "$source_dir/examples/hairpin/hairpin.ct" "$run/"
(cd "$run" && "$prefix/bin/mirelon" -s hairpin.ct -f "$prefix/share/mirelon/statfile.tab" \
  -w hbond.mac >stdout)
for f in kesta.seq kesta.prot kesta.aco hbond.mac idarrayke.txt stdout; do
  cmp "$run/$f" "$source_dir/examples/hairpin/expected/$f"
done
echo "installed program reproduces the example"

# Without -f and without a table in the working directory, mirelon-nef
# finds the shipped table (installed under the configured prefix, else the
# source tree's).
(cd "$run" && rm -f statfile.tab && "$prefix/bin/mirelon-nef" -s hairpin.ct -o hairpin.nef)
grep -q "^save_nef_chemical_shift_list_mirelon_statfile_level_2$" "$run/hairpin.nef" ||
  { echo "mirelon-nef found no shipped table"; exit 1; }
echo "installed mirelon-nef finds the shipped table"
