#!/usr/bin/env bash
# Runs every test: the Win32-free logic natively and the program under Wine, and checks that the
# 32-bit build compiles. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
scripts/setup.sh

echo "== Size of the tests"
scripts/test-ratio.sh

echo "== Floors: no include climbs"
scripts/check-floors.sh

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

echo "== Windows i686: builds"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686
scripts/check-package.sh build/mingw-i686 cpack i686-w64-mingw32-objdump

echo "== Native: logic"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native | tee "$logs/native"

echo "== Native: logic with AddressSanitizer and UndefinedBehaviorSanitizer; the fuzzers, a short fixed run"
cmake --preset native-sanitize >/dev/null
cmake --build --preset native-sanitize
ctest --preset native-sanitize | tee "$logs/native-sanitize"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz | tee "$logs/fuzz"

echo "== Windows x86-64 under Wine"
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64
ctest --preset mingw-x64 | tee "$logs/wine"

# One closing line for both runs.
sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$logs"/* |
  awk '{ failed += $1; passed += $2 - $1 } END { print "tests: " passed " passed, " failed " failed" }'
