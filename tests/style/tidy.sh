#!/bin/sh
# clang-tidy's checks (.clang-tidy) over the named folders, two files at a time; any finding
# fails. Usage: tidy.sh SOURCE_DIR BUILD_DIR FOLDER... (the build folder holds
# compile_commands.json; the windows' folder needs the build's generated moc files). The
# compiler's own warnings stay the compiler's: clang's differ from GCC's, which the build holds.
src=$1
build=$2
shift 2
cd "$src" || exit 2
out=$(mktemp)
status=0
find "$@" -name '*.cpp' | sort | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet --extra-arg=-Wno-error >"$out" 2>&1 || status=$?
grep -E -A3 'warning:|error:' "$out"
rm -f "$out"
exit $status
