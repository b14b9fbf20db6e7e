#!/usr/bin/env bash
# Static checks of the sources; fails on any finding.
#
# usage: scripts/check_static.sh [BUILD_DIR]
#
# 1. Machine paths: no tracked file (golden files and docs included) names
#    a home folder, root's home, the work tree of a build machine or a
#    temporary file, since none of them exists on another machine. A
#    temporary path may only be a mktemp template (ending in XXXXXX) or the
#    default ${TMPDIR:-/tmp}.
# 2. clang-format: every C++ file formatted as .clang-format says.
# 3. clang-tidy: the checks of .clang-tidy (every warning is an error), on
#    the sources of BUILD_DIR/compile_commands.json (configured here with
#    CMAKE_EXPORT_COMPILE_COMMANDS) and on the fuzz targets.
# 4. cppcheck: warning, style, performance and portability findings, with
#    GoogleTest's macros known; useStlAlgorithm is left out, since it only
#    asks for algorithms in place of plain loops.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-static}

# The patterns are spelled so that this script does not match them itself.
machine_path='(^|[^A-Za-z0-9_.-])/(home/[A-Za-z_][A-Za-z0-9_.-]*|root|work|tmp)/'
temp_template='/tmp[/][^[:space:]"'"'"']*XXXXXX'
echo "== machine paths"
grep_status=0
hits=$(git grep -n -a -E "$machine_path") || grep_status=$?
if ((grep_status > 1)); then
  echo "git grep failed"
  exit 1
fi
found_paths=0
while IFS= read -r hit; do
  if [[ -n $hit ]] && sed -E "s#$temp_template##g" <<<"$hit" | grep -qE "$machine_path"; then
    echo "$hit"
    found_paths=1
  fi
done <<<"$hits"
if ((found_paths)); then
  echo "absolute paths of a machine found above"
  exit 1
fi

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "== clang-format (${#sources[@]} files)"
clang-format --dry-run -Werror "${sources[@]}"

echo "== clang-tidy"
cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$build" -j2 >/dev/null  # generated sources and dependencies in place
mapfile -t units < <(git ls-files 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp')
tidy_log=$build/clang-tidy.log
printf '%s\n' "${units[@]}" | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet >"$tidy_log" 2>/dev/null || true
mapfile -t fuzz_units < <(git ls-files 'tests/fuzz/*.cpp')
clang-tidy --quiet "${fuzz_units[@]}" -- -std=c++17 -Isrc -DMIRELON_EXAMPLES='"examples"' \
  >>"$tidy_log" 2>/dev/null || true
if grep -E "(warning|error):" "$tidy_log"; then
  echo "clang-tidy found the problems above"
  exit 1
fi

echo "== cppcheck"
# Left out: what npm installs for the browser test (tests/web/node_modules).
cppcheck --enable=warning,style,performance,portability --std=c++17 --library=googletest \
  --suppress=useStlAlgorithm --inline-suppr --quiet --error-exitcode=1 -I src \
  -i tests/web/node_modules src tests bench
echo "static checks passed"
