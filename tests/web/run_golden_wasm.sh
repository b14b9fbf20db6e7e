#!/usr/bin/env bash
# Runs one golden case of a program through the browser page's WebAssembly
# module under node (tests/web/run_node.js) instead of the native program,
# and compares every byte with the same expected files.
#
# usage: run_golden_wasm.sh PAGE_FOLDER PROGRAM CASE_DIR [SHARED_DATA_DIR]
#
# Skipped (status 77) with the reason where node or the page is missing,
# and for the cases listed in node_exceptions.txt beside this script: what
# the harness cannot do, not the page. MIRELON_REQUIRE_TOOLS=1 turns a
# missing node or page into a failure. The expected files are written from
# the native programs only: with MIRELON_REDO=1 these tests are skipped.
set -u
page=$1
program=$2
case_dir=$3
shared=${4:-}
here=$(cd "$(dirname "$0")" && pwd)

skip() {
  echo "$1"
  if [[ ${MIRELON_REQUIRE_TOOLS:-0} == 1 && ${2:-} == tool ]]; then
    echo "MIRELON_REQUIRE_TOOLS=1: failing instead of skipping"
    exit 1
  fi
  exit 77
}
if [[ ${MIRELON_REDO:-0} == 1 ]]; then
  skip "MIRELON_REDO=1 rewrites expected files from the native programs only: skipped"
fi
command -v node >/dev/null || skip "node not installed: skipped (Debian package nodejs)" tool
if [[ ! -f $page/mirelon-module.js ]]; then
  skip "no WebAssembly page at '$page': skipped; build it with 'emcmake cmake --preset wasm &&\
 cmake --build --preset wasm' (needs emscripten), or point MIRELON_WASM_PAGE at a page folder" tool
fi
case_id="$(basename "$(dirname "$(dirname "$case_dir")")")/golden/$(basename "$case_dir")"
reason=$(awk -v id="$case_id" '$1 == id { $1 = ""; sub(/^ +/, ""); print; exit }' \
  "$here/node_exceptions.txt")
if [[ -n $reason ]]; then
  echo "not run under node: $reason"
  exit 77
fi

# run_golden.sh runs one command: a small script that starts the program
# of the module under node, with the page and program fixed.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-wasm.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
{
  echo '#!/usr/bin/env bash'
  printf 'exec node %q %q %q "$@"\n' "$here/run_node.js" "$(cd "$page" && pwd)" "$program"
} >"$tmp/$program"
chmod +x "$tmp/$program"
bash "$here/../run_golden.sh" "$tmp/$program" "$case_dir" "$shared"
