#!/bin/sh
# clang-tidy's checks (.clang-tidy) over the plain C++ core and command line, two files at a
# time; any finding fails. Usage: tidy.sh SOURCE_DIR BUILD_DIR (the build folder holds
# compile_commands.json).
cd "$1" || exit 2
out=$(mktemp)
status=0
find core cli -name '*.cpp' | sort | xargs -P 2 -n 4 clang-tidy -p "$2" --quiet >"$out" 2>&1 || status=$?
grep -E -A3 'warning:|error:' "$out"
rm -f "$out"
exit $status
