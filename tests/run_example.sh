#!/usr/bin/env bash
# Runs a bundled example as its README shows and compares every output with
# the expected files kept beside it, so that the examples never drift from
# the program.
#
# usage: run_example.sh PROGRAM SOURCE_DIR NAME
#
# examples/NAME/ holds the input files, `args` (the arguments, one per line,
# as run from examples/NAME with the shipped table ../../data/statfile.tab)
# and expected/ (stdout and every file the run writes).
#
# With MIRELON_REDO=1 the expected files are rewritten from the run instead:
# an example whose run differs is named ("rewrote examples/NAME/expected")
# with the diff of every file that changes, one that does not is left alone
# ("unchanged"). An example must run successfully: a run with another exit
# status than 0 is refused (exit 1, nothing rewritten). ctest shows the diffs
# of passing tests with -V: MIRELON_REDO=1 ctest --test-dir build -V -R example
set -u
program=$1
source_dir=$2
name=$3
example=$source_dir/examples/$name

work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-example.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/examples/$name" "$work/data"
cp "$source_dir/data/statfile.tab" "$work/data/"
# The example's inputs, without the outputs of a run made in place.
find "$example" -maxdepth 1 -type f ! -name args ! -name 'kesta.*' ! -name idarrayke.txt \
  ! -name hbond.mac -exec cp {} "$work/examples/$name/" \;
mapfile -t args <"$example/args"
run=$work/examples/$name
inputs=$(ls "$run")
(cd "$run" && "$program" "${args[@]}" >"$work/stdout" 2>&1 </dev/null)
status=$?
# The outputs: everything in the run folder besides the inputs.
outputs=$(ls "$run" | grep -vxF "$inputs" | LC_ALL=C sort)

if [[ ${MIRELON_REDO:-0} == 1 ]]; then
  if [[ $status != 0 ]]; then
    echo "REFUSED: examples/$name: exit status $status instead of 0; nothing rewritten"
    exit 1
  fi
  mkdir -p "$work/new/expected" "$work/old/expected"
  cp "$work/stdout" "$work/new/expected/stdout"
  for f in $outputs; do cp "$run/$f" "$work/new/expected/"; done
  [[ -d $example/expected ]] && cp -r "$example/expected/." "$work/old/expected/"
  if diff -rq "$work/old/expected" "$work/new/expected" >/dev/null; then
    echo "unchanged examples/$name/expected"
    exit 0
  fi
  echo "rewrote examples/$name/expected"
  (cd "$work" && diff -ruN old/expected new/expected)
  rm -rf "$example/expected"
  cp -r "$work/new/expected" "$example/expected"
  exit 0
fi

failed=0
[[ $status == 0 ]] || { echo "exit status $status"; failed=1; }
cmp -s "$example/expected/stdout" "$work/stdout" || { echo "MISMATCH: stdout"; failed=1; }
expected=$(cd "$example/expected" && ls | grep -vx stdout | LC_ALL=C sort)
if [[ $outputs != "$expected" ]]; then
  echo "MISMATCH: files written"
  diff <(echo "$expected") <(echo "$outputs")
  failed=1
fi
for f in $expected; do
  if ! cmp -s "$example/expected/$f" "$run/$f"; then
    echo "MISMATCH: $f"
    diff "$example/expected/$f" "$run/$f" | head -10
    failed=1
  fi
done
exit $failed
