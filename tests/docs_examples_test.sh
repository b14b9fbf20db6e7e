#!/usr/bin/env bash
# Runs the worked examples of README.md and docs/*.md and compares the output
# they show with the output the programs write, so that no example drifts from
# the programs.
#
# usage: docs_examples_test.sh SOURCE_DIR BINARY_DIR [SHARED_DATA_DIR]
#
# A page marks its blocks with an HTML comment on the line (or lines) just
# before the block; the rendered page does not show it:
#
#   <!-- checked: run -->            the ```sh block after it is run with
#                                    bash -e and must exit with status 0
#   <!-- checked: run; given: CMD -->    CMD first makes the inputs a reader
#                                    would have (their own files); it comes
#                                    last and may span lines
#   <!-- checked: run; from: TEXT -->    only the block's text from TEXT on is
#                                    run (what comes before builds the project)
#   <!-- checked: golden CASE -->    the block is the golden case tests/CASE
#                                    (its setup's last lines and its command);
#                                    the case itself compares its outputs
#   <!-- checked: stdout -->         the block shows lines of the standard
#   <!-- checked: stderr -->         output, standard error or file PATH of
#   <!-- checked: file PATH -->      the run or golden case before it (PATH
#                                    from the scratch folder's top, or among
#                                    the files the golden case expects)
#   <!-- checked: images -->         the picture links after it show files the
#                                    run or golden case before it writes
#   <!-- checked: synopsis -->       the block names the options of the
#                                    program's -h text (and is its usage
#                                    line, where -h gives a full one)
#   <!-- unchecked: REASON -->       the ```sh block is not run, for REASON
#
# Every ```sh block needs a marker. The shown lines must appear in the real
# output in the order shown, each byte for byte; a line that is only "..."
# (indented or not) stands for lines left out, and lines not separated by one
# must follow each other in the output too. Each page is run in a scratch
# folder of its own laid out like the source tree: build/ (the binary folder),
# copies of data/ and examples/, and ../shared/data beside it. Commands (and
# given: inputs) run from that folder's top with standard input /dev/null, one
# block after the other, so files written by one block are there for the next.
#
# Exit status 1 when a check fails, 77 (skipped) when none failed but a
# program a check needs was not built or a block needs the shared data
# collection and it is missing, 0 otherwise.
set -u
source_dir=$(cd "$1" && pwd)
binary_dir=$(cd "$2" && pwd)
shared_data=${3:-}
export LC_ALL=C
unset SOURCE_DATE_EPOCH

work=$(mktemp -d "${TMPDIR:-/tmp}/mirelon-docs.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
skipped=0
problems=0
checked=0
unchecked=0

fail() {  # fail PAGE LINE MESSAGE...
  echo "FAIL $1:$2: ${*:3}"
  failed=1
  problems=$((problems + 1))
}

skip() {  # skip PAGE LINE MESSAGE...
  echo "SKIP $1:$2: ${*:3}"
  skipped=1
  problems=$((problems + 1))
}

# Splits PAGE into its marked blocks: for each, one line "ID<TAB>LINE<TAB>
# MARKER" in DIR/blocks and the block's text in DIR/ID; MARKER is "unmarked"
# for a ```sh block without one, "dangling" for a marker without its block.
extract_blocks() {  # extract_blocks PAGE DIR
  awk -v dir="$2" '
    function emit(line, marker) {
      id++
      printf "%d\t%d\t%s\n", id, line, marker > (dir "/blocks")
      printf "%s", text > (dir "/" id)
      close(dir "/" id)
      text = ""
    }
    function marker_done() {
      marker = pending
      sub(/^<!-- */, "", marker); sub(/[ \t]*-->[ \t]*$/, "", marker)
      pending = ""; in_marker = 0; have_marker = 1
    }
    in_fence {
      if ($0 ~ /^ *```[ \t]*$/) {
        in_fence = 0
        if (have_marker) emit(fence_line, marker)
        else if (info ~ /^(sh|bash|shell|console)$/) emit(fence_line, "unmarked")
        have_marker = 0; text = ""
      } else text = text $0 "\n"
      next
    }
    in_marker {
      pending = pending " " $0
      if ($0 ~ /-->/) marker_done()
      next
    }
    in_images {
      if ($0 ~ /^!\[/) { text = text $0 "\n"; next }
      in_images = 0; emit(marker_line, marker); have_marker = 0
    }
    /^<!-- *(checked|unchecked):/ {
      if (have_marker) emit(marker_line, "dangling")
      pending = $0; marker_line = NR; in_marker = 1
      if ($0 ~ /-->/) marker_done()
      next
    }
    /^ *```/ {
      info = $0; sub(/^ *```/, "", info); sub(/[ \t].*$/, "", info)
      in_fence = 1; fence_line = NR; text = ""
      next
    }
    /^[ \t]*$/ { next }
    have_marker && marker ~ /^checked: images$/ && /^!\[/ {
      in_images = 1; text = $0 "\n"; next
    }
    have_marker { emit(marker_line, "dangling"); have_marker = 0 }
    END {
      if (in_images) emit(marker_line, marker)
      else if (have_marker) emit(marker_line, "dangling")
    }
  ' "$1"
  touch "$2/blocks"
}

# Compares the lines SHOWN shows with the file ACTUAL; prints what differs.
compare_shown() {  # compare_shown SHOWN ACTUAL
  awk -v shown="$1" '
    function elided(s) { return s ~ /^[ \t]*\.\.\.[ \t]*$/ }
    # The output line from FROM on that starts with most of LINE.
    function nearest(line, from,   p, k, best, at) {
      for (p = from; p <= n; p++) {
        for (k = 0; k < length(line) && substr(line, k + 1, 1) == substr(a[p], k + 1, 1); k++) {}
        if (k > best) { best = k; at = p }
      }
      return at
    }
    BEGIN { while ((getline line < shown) > 0) s[++m] = line }
    { a[++n] = $0 }
    END {
      pos = 1; i = 1; lines = 0
      while (i <= m) {
        if (elided(s[i])) { i++; continue }
        for (j = i; j <= m && !elided(s[j]); j++) lines++
        len = j - i; best = 0; at = 0
        for (p = pos; p + len - 1 <= n; p++) {
          for (k = 0; k < len && (a[p + k] "") == (s[i + k] ""); k++) {}
          if (k == len) break
          if (k > best) { best = k; at = p }
        }
        if (p + len - 1 > n) {
          if (at == 0) {
            printf "  shown line %d is not in the output after line %d:\n    shown:   %s\n", i, pos - 1, s[i]
            near = nearest(s[i], pos)
            if (near > 0) printf "    nearest: %s (output line %d)\n", a[near], near
          }
          else printf "  shown line %d differs from output line %d:\n    shown:  %s\n    output: %s\n", i + best, at + best, s[i + best], a[at + best]
          exit 1
        }
        pos = p + len; i = j
      }
      if (lines == 0) { print "  the block shows no line"; exit 1 }
    }
  ' "$2"
}

one_line() {  # standard input with every run of blanks and line ends one space
  tr -s ' \t\n' '   ' | sed 's/^ //; s/ $//'
}

# Checks a synopsis block against the -h text of its program.
check_synopsis() {  # check_synopsis PAGE LINE BLOCK
  local program help usage wanted shown
  program=$(awk 'NR == 1 { print $1 }' "$3")
  if [[ ! -x $binary_dir/$program ]]; then
    skip "$1" "$2" "$program was not built"
    return
  fi
  help=$("$binary_dir/$program" -h 2>&1 </dev/null)
  wanted=$(grep -oE $'^\t-[A-Za-z]\t' <<<"$help" | tr -d '\t-' | LC_ALL=C sort -u | tr -d '\n')
  shown=$(grep -oE '(^|[[ ])-[A-Za-z]' "$3" | tr -d '[ -' | LC_ALL=C sort -u | tr -d '\n')
  if [[ $shown != "$wanted" ]]; then
    fail "$1" "$2" "the synopsis names options '$shown', $program -h '$wanted'"
    return
  fi
  # Where -h gives the whole synopsis, the page shows the same words.
  usage=$(sed -n '/^[Uu]sage: /,/^$/p' <<<"$help" | sed 's/^[Uu]sage: //' | one_line)
  if [[ $usage == *"[-h]"* && $(one_line <"$3") != "$usage" ]]; then
    fail "$1" "$2" "the synopsis is not the usage line of $program -h: $usage"
  fi
}

# Checks that a block is the command of a golden case: the lines before the
# command are the last lines of the case's setup, and the command, with the
# block's variables, is the case's program with its arguments.
check_golden_command() {  # check_golden_command PAGE LINE BLOCK CASE_DIR PROGRAM
  local first setup_tail shown_head command words expected
  first=$(grep -n '^build/' "$3" | head -1 | cut -d: -f1)
  if [[ -z $first ]]; then
    fail "$1" "$2" "no build/ command in the block"
    return
  fi
  shown_head=$(head -n $((first - 1)) "$3")
  if [[ -n $shown_head ]]; then
    setup_tail=$(tail -n $((first - 1)) "$4/setup" 2>/dev/null)
    [[ $shown_head == "$setup_tail" ]] ||
      fail "$1" "$2" "the lines before the command are not the last lines of $4/setup"
  fi
  command=$(tail -n +"$first" "$3" | sed -e ':a' -e '/\\$/N; s/\\\n//; ta')
  if [[ $(wc -l <<<"$command") != 1 ]]; then
    fail "$1" "$2" "the command is not the block's last line"
    return
  fi
  words=$(
    # shellcheck disable=SC2016 # the pattern excludes a literal $ and `
    eval "$(grep -E '^[A-Za-z_][A-Za-z0-9_]*=[^ ;&|`$()]*$' <<<"$shown_head")"
    eval "set -- $command"
    printf '%s\n' "$@"
  )
  expected=$(echo "build/$5"; cat "$4/args" 2>/dev/null)
  [[ $words == "$expected" ]] ||
    fail "$1" "$2" "the command is not the one golden case $4 runs:" $'\n'"$expected"
}

# The program a golden case folder runs (tests/CMakeLists.txt pairs them).
golden_program() {  # golden_program CASE
  case $1 in
    mirelon/golden/*) echo mirelon ;;
    ct/golden/*) echo mirelon-ct ;;
    nef/golden/*) echo mirelon-nef ;;
    stats/golden/*) echo mirelon-stats ;;
    check/golden/*) echo mirelon-check ;;
  esac
}

# Runs a command block in the page's scratch folder; OPTIONS is the marker's
# text after "run".
run_block() {  # run_block PAGE LINE BLOCK OPTIONS ROOT OUT
  local options=$4 given="" from="" field script
  # "given:" comes last and takes the rest of the marker, semicolons and all.
  if [[ $options == *"given: "* ]]; then
    given=${options#*given: }
    options=${options%%given: *}
  fi
  IFS=';' read -ra fields <<<"$options"
  for field in "${fields[@]}"; do
    field=${field#"${field%%[! ]*}"}
    field=${field%"${field##*[! ]}"}
    case $field in
      "") ;;
      from:*) from=${field#from: } ;;
      *) fail "$1" "$2" "unknown run option '$field'"; return 1 ;;
    esac
  done
  script=$(cat "$3")
  if [[ -n $from ]]; then
    [[ $script == *"$from"* ]] || { fail "$1" "$2" "'$from' is not in the block"; return 1; }
    script=$from${script#*"$from"}
  fi
  if [[ "$script $given" == *../shared/data* && ! -d $5/../shared/data ]]; then
    skip "$1" "$2" "the shared data collection is not at '$shared_data'"
    return 1
  fi
  if [[ -n $given ]] && ! (cd "$5" && bash -e -c "$given" >"$6.given" 2>&1 </dev/null); then
    fail "$1" "$2" "the given inputs were not made:"
    cat "$6.given"
    return 1
  fi
  (cd "$5" && timeout 300 bash -e -c "$script" >"$6.stdout" 2>"$6.stderr" </dev/null)
  local status=$?
  if [[ $status != 0 ]]; then
    fail "$1" "$2" "the block exits with status $status; its standard error:"
    head -20 "$6.stderr"
    return 1
  fi
}

check_page() {  # check_page PAGE
  local page=$1 name dir root id line marker kind rest block
  local out="" files="" case_dir program
  name=${page#"$source_dir"/}
  dir=$work/${name//\//_}
  root=$dir/repo
  mkdir -p "$root" "$dir/shared" "$dir/blocks.d"
  ln -s "$binary_dir" "$root/build"
  cp -a "$source_dir/data" "$source_dir/examples" "$root/"
  [[ -n $shared_data && -d $shared_data ]] && ln -s "$(cd "$shared_data" && pwd)" "$dir/shared/data"
  extract_blocks "$page" "$dir/blocks.d"
  while IFS=$'\t' read -r id line marker; do
    block=$dir/blocks.d/$id
    kind=${marker%% *}
    rest=${marker#"$kind"}
    rest=${rest# }
    case $kind in
      unmarked) fail "$name" "$line" "a command block without a marker (<!-- checked: run --> or <!-- unchecked: REASON -->)"; continue ;;
      dangling) fail "$name" "$line" "a marker without its block"; continue ;;
      unchecked:)
        [[ -n $rest ]] || fail "$name" "$line" "'unchecked' without a reason"
        echo "unchecked $name:$line: $rest"
        unchecked=$((unchecked + 1))
        continue ;;
      checked:) ;;
      *) fail "$name" "$line" "unknown marker '$marker'"; continue ;;
    esac
    kind=${rest%%[ ;]*}
    rest=${rest#"$kind"}
    rest=${rest# }
    checked=$((checked + 1))
    local before=$problems
    check_block
    [[ $problems == "$before" ]] && echo "ok $name:$line: ${marker%%;*}"
  done <"$dir/blocks.d/blocks"
}

# Checks one marked block for check_page, whose variables it reads and sets
# (bash's locals are seen by the functions a function calls).
check_block() {
  case $kind in
    run)
      # The output blocks after a run that failed or was skipped are not
      # compared.
      out=none
      run_block "$name" "$line" "$block" "$rest" "$root" "$dir/run$id" || return
      out=$dir/run$id.
      files=$root ;;
    golden)
      out=none
      case_dir=$source_dir/tests/$rest
      program=$(golden_program "$rest")
      if [[ -z $program || ! -d $case_dir/expected ]]; then
        fail "$name" "$line" "no golden case tests/$rest"
        return
      fi
      check_golden_command "$name" "$line" "$block" "$case_dir" "$program"
      out=$case_dir/expected/
      files=$case_dir/expected/files ;;
    stdout | stderr | file | images)
      if [[ -z $out ]]; then
        fail "$name" "$line" "no run or golden case before this block"
      elif [[ $out == none ]]; then
        echo "not compared $name:$line: the block it shows did not run"
        problems=$((problems + 1))
      elif [[ $kind == images ]]; then
        check_pictures
      else
        local actual=$out$kind difference
        [[ $kind == file ]] && actual=$files/$rest
        if [[ ! -f $actual ]]; then
          fail "$name" "$line" "${rest:-$kind} was not written"
        elif ! difference=$(compare_shown "$block" "$actual"); then
          fail "$name" "$line" "the block does not show ${rest:-$kind} as written"
          echo "$difference"
        fi
      fi ;;
    synopsis) check_synopsis "$name" "$line" "$block" ;;
    *) fail "$name" "$line" "unknown marker '$marker'" ;;
  esac
}

# Every picture linked in the block is the file of that name that the run
# (or golden case) wrote.
check_pictures() {
  local picture
  while read -r picture; do
    picture=${picture##*](}
    picture=${picture%)}
    cmp -s "$(dirname "$page")/$picture" "$files/$(basename "$picture")" ||
      fail "$name" "$line" "$picture is not the $(basename "$picture") the run writes"
  done <"$block"
}

for page in "$source_dir/README.md" "$source_dir"/docs/*.md; do
  check_page "$page"
done
echo "$checked blocks checked, $unchecked left unchecked"
if [[ $failed == 1 ]]; then exit 1; fi
if [[ $skipped == 1 ]]; then exit 77; fi
exit 0
