#!/usr/bin/env bash
# Runs one golden end-to-end case of a program and compares every byte.
#
# usage: run_golden.sh PROGRAM CASE_DIR [SHARED_DATA_DIR]
#
# CASE_DIR holds:
#   args      the command-line arguments, one per line (optional)
#   input/    files copied into a fresh working directory before the run
#             (old output files among them show what must survive)
#   setup     optional bash script run in the working directory before the
#             run (directories, symbolic links, generated large inputs); it
#             finds the shared data collection in $MIRELON_SHARED_DATA
#   ignore    optional: names of files (one per line) left out of the
#             comparison, such as large inputs that the setup generates
#   stdin     optional: file given to the program as standard input
#             (otherwise /dev/null)
#   expected/ stdout, stderr, status, and files/: every regular file the
#             working directory must hold afterwards, and nothing else
#
# A mismatching file is written beside its expected file as <name>.new.
#
# With MIRELON_REDO=1 the expected files are rewritten from the run instead:
# a case whose run differs is named ("rewrote CASE_DIR") with the diff of
# every file that changes, one that does not is left alone ("unchanged").
# A case whose exit status would change is refused (exit 1, nothing
# rewritten) unless MIRELON_REDO_STATUS=1 accepts the new status too. ctest
# shows the diffs of passing tests with -V:
#   MIRELON_REDO=1 ctest --test-dir build -V -R golden_nef
set -u
program=$1
case_dir=$2
export MIRELON_SHARED_DATA=${3:-}
expected=$case_dir/expected

work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-golden.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/run"
if [[ -d $case_dir/input ]]; then
  cp -a "$case_dir/input/." "$work/run/"
fi
# A case built on the shared data collection is skipped (status 77) where
# the collection is not beside the project.
if [[ -f $case_dir/setup ]] && grep -q MIRELON_SHARED_DATA "$case_dir/setup" &&
  [[ ! -d $MIRELON_SHARED_DATA ]]; then
  echo "shared data not found at '$MIRELON_SHARED_DATA': skipped"
  exit 77
fi
if [[ -f $case_dir/setup ]]; then
  (cd "$work/run" && bash "$case_dir/setup") || { echo "setup failed"; exit 1; }
fi
# Everything the setup made (directories, links) is left out of the file
# comparison; regular files are compared.
list_files() {  # regular files of directory $1, minus the ignored ones
  (cd "$1" && find . -maxdepth 1 -type f ! -name '*.new' -printf '%P\n') | LC_ALL=C sort |
    if [[ -f $case_dir/ignore ]]; then grep -vxF -f "$case_dir/ignore"; else cat; fi
}
args=()
if [[ -f $case_dir/args ]]; then
  mapfile -t args < "$case_dir/args"
fi
stdin=/dev/null
if [[ -f $case_dir/stdin ]]; then
  stdin=$case_dir/stdin
fi
(cd "$work/run" && "$program" "${args[@]}" >"$work/stdout" 2>"$work/stderr" <"$stdin")
echo $? >"$work/status"

if [[ ${MIRELON_REDO:-0} == 1 ]]; then
  old_status=$(cat "$expected/status" 2>/dev/null)
  new_status=$(cat "$work/status")
  if [[ -n $old_status && $old_status != "$new_status" && ${MIRELON_REDO_STATUS:-0} != 1 ]]; then
    echo "REFUSED: $case_dir: exit status would change from $old_status to $new_status;" \
      "nothing rewritten (MIRELON_REDO_STATUS=1 accepts it)"
    exit 1
  fi
  mkdir -p "$work/expected/files"
  cp "$work/stdout" "$work/stderr" "$work/status" "$work/expected/"
  list_files "$work/run" | while read -r f; do
    cp "$work/run/$f" "$work/expected/files/$f"
  done
  if [[ -d $expected ]] && diff -rq -x '*.new' "$expected" "$work/expected" >/dev/null; then
    echo "unchanged $case_dir"
    exit 0
  fi
  echo "rewrote $case_dir"
  mkdir "$work/old"
  [[ -d $expected ]] && cp -r "$expected/." "$work/old/"
  (cd "$work" && diff -ruN -x '*.new' old expected)
  rm -rf "$expected"
  cp -r "$work/expected" "$expected"
  exit 0
fi

failed=0
compare() {  # compare EXPECTED ACTUAL LABEL
  if ! cmp -s "$1" "$2"; then
    echo "MISMATCH: $3"
    diff <(od -c "$1" | head -40) <(od -c "$2" | head -40) | head -20
    cp "$2" "$1.new"
    failed=1
  fi
}
for stream in stdout stderr status; do
  compare "$expected/$stream" "$work/$stream" "$stream"
done
actual_files=$(list_files "$work/run")
expected_files=$(list_files "$expected/files")
if [[ $actual_files != "$expected_files" ]]; then
  echo "MISMATCH: file set"
  diff <(echo "$expected_files") <(echo "$actual_files")
  failed=1
fi
while read -r f; do
  [[ -n $f && -f $work/run/$f ]] && compare "$expected/files/$f" "$work/run/$f" "file $f"
done <<<"$expected_files"
exit $failed
