#!/usr/bin/env bash
# Installs the build into a temporary prefix, or checks an installed tree
# made elsewhere (an unpacked .deb), and runs the installed programs as a
# user would: from an empty folder, without -f, so that they must find the
# table shipped beside them. No installed program may hold the path of the
# source or build folder.
#
# usage: install_test.sh BUILD_DIR SOURCE_DIR [INSTALLED_PREFIX]
#   Without INSTALLED_PREFIX the build is installed into a temporary prefix.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
if [[ $# -ge 3 ]]; then
  prefix=$3
else
  prefix=$work/prefix
  cmake --install "$build" --prefix "$prefix" >/dev/null
fi
doc=$prefix/share/doc/mirelon

tools=(mirelon mirelon-ct mirelon-check mirelon-nef)
for tool in mirelon-stats mirelon-multipliers; do
  [[ -x $build/$tool ]] && tools+=("$tool")
done
pages=("${tools[@]/#/share/man/man1/}")
# Every tool that was built is installed with its manual page.
for f in "${tools[@]/#/bin/}" "${pages[@]/%/.1}" \
         share/mirelon/statfile.tab share/doc/mirelon/README.md share/doc/mirelon/mirelon-check.md \
         share/doc/mirelon/examples/hairpin/hairpin.ct share/doc/mirelon/examples/hairpin/args; do
  [[ -e $prefix/$f ]] || { echo "not installed: $f"; exit 1; }
done
if ls "$doc"/examples/*/kesta.* >/dev/null 2>&1; then
  echo "outputs of an example run were installed"
  exit 1
fi
# A sanitizer build is never installed or packaged: its instrumentation names
# every source file by the path the compiler was given, so only the builds
# that are shipped are checked for machine paths.
sanitized=false
grep -q '^MIRELON_SANITIZE:BOOL=ON$' "$build/CMakeCache.txt" 2>/dev/null && sanitized=true
for tool in "${tools[@]}"; do
  $sanitized && break
  for folder in "$source_dir" "$build"; do
    if grep -qaF "$folder" "$prefix/bin/$tool"; then
      echo "bin/$tool holds the path $folder of the build machine"
      exit 1
    fi
  done
done

# Each installed example, run in a copy of its folder with its own args,
# which name no table: the installed mirelon uses the shipped one and says so.
for example in hairpin duplex; do
  run=$work/$example
  cp -r "$doc/examples/$example" "$run"
  mapfile -t args <"$run/args"
  (cd "$run" && "$prefix/bin/mirelon" "${args[@]}" >stdout 2>stderr)
  for f in "$run"/expected/*; do
    cmp "$f" "$run/$(basename "$f")"
  done
  grep -qx "Note: .* using statfile.tab (shipped with mirelon [0-9.]*)\." "$run/stderr" ||
    { echo "installed mirelon did not say it used the shipped table"; exit 1; }
done
echo "installed mirelon runs the installed examples with the shipped table"

# The companions, from an empty folder without -f: they find the shipped
# table and name it without a path.
run=$work/companions
mkdir "$run"
cp "$doc/examples/hairpin/hairpin.ct" "$run/"
(cd "$run" && "$prefix/bin/mirelon-check" -s hairpin.ct >summary)
grep -qx "Table: statfile.tab (shipped with mirelon [0-9.]*)" "$run/summary" ||
  { echo "installed mirelon-check did not name the shipped table"; cat "$run/summary"; exit 1; }
(cd "$run" && "$prefix/bin/mirelon-nef" -s hairpin.ct -o hairpin.nef)
grep -q "statistics table statfile.tab (shipped with mirelon [0-9.]*) at level 2" \
  "$run/hairpin.nef" || { echo "installed mirelon-nef did not name the shipped table"; exit 1; }
(cd "$run" && "$prefix/bin/mirelon-ct" -t bpseq -o hairpin.bpseq hairpin.ct)
[[ -s $run/hairpin.bpseq ]] || { echo "installed mirelon-ct wrote nothing"; exit 1; }
if grep -rqaF -e "$source_dir" -e "$build" -e "$prefix" "$run"; then
  echo "an output of an installed program names a folder of the machine"
  exit 1
fi
echo "installed companions find and name the shipped table"
