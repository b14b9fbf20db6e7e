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
for f in bin/mirelon bin/mirelon-ct bin/mirelon-check share/man/man1/mirelon.1 \
         share/man/man1/mirelon-ct.1 share/man/man1/mirelon-check.1 \
         share/mirelon/statfile.tab share/doc/mirelon/README.md \
         share/doc/mirelon/examples/hairpin/hairpin.ct; do
  [[ -e $prefix/$f ]] || { echo "not installed: $f"; exit 1; }
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
