#!/usr/bin/env bash
# The checks CI runs after the tests: formatting, clang-tidy over the build's compile commands, and the
# Core libraries' tests under AddressSanitizer and UndefinedBehaviorSanitizer. Installs what it needs.
# Expects scripts/test.sh to have configured build/ (it writes compile_commands.json).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarrow_install_packages clang-format clang-tidy

echo "== clang-format"
git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' \
    | xargs clang-format --dry-run -Werror

echo "== clang-tidy"
[ -f build/compile_commands.json ] || cmake --preset default
# Only the program's own sources; the generated moc and resource files are not ours to mend.
tidy_rc=0
run-clang-tidy -quiet -p build -j "$(nproc)" "$PWD/src/.*\.cpp$" > build/clang-tidy.log 2>&1 || tidy_rc=$?
if grep -E '(warning|error):' build/clang-tidy.log; then
    echo "clang-tidy found the problems above (full log: build/clang-tidy.log)"
    exit 1
fi
# No findings must mean that every source was looked at, not that clang-tidy never ran.
if [ "$tidy_rc" -ne 0 ]; then
    tail -20 build/clang-tidy.log
    echo "clang-tidy stopped with exit code $tidy_rc and no findings (full log: build/clang-tidy.log)"
    exit 1
fi
# run-clang-tidy writes each file's command line before its output.
checked=$(grep -cE "clang-tidy.* $PWD/src/[^ ]*\.cpp$" build/clang-tidy.log || true)
expected=$(git ls-files -- 'src/*.cpp' | wc -l)
if [ "$checked" -lt "$expected" ]; then
    echo "clang-tidy looked at $checked of the $expected sources in src/ (full log: build/clang-tidy.log)"
    exit 1
fi
echo "clang-tidy: $checked sources, no findings"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
