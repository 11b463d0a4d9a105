#!/usr/bin/env bash
# Runs every test: the Win32-free logic natively, the program under Wine, and checks that the
# 32-bit build compiles. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
scripts/setup.sh

echo "== Native: logic"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== Windows x86-64 under Wine"
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64
ctest --preset mingw-x64

echo "== Windows i686: builds"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686
