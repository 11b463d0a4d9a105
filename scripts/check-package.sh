#!/usr/bin/env bash
# Makes the release package of a build folder with CPack and checks that it holds exactly the
# program, its help page and the licence, and that the program may use more than 2 GB of address space.
#   check-package.sh BUILD_DIR CPACK OBJDUMP
set -euo pipefail
build=${1:?build folder}
cpack=${2:-cpack}
objdump=${3:?objdump}
cd "$build"
rm -f pintaro-*.zip
"$cpack" -G ZIP >/dev/null
shopt -s nullglob
packages=(pintaro-*-win64.zip pintaro-*-win32.zip)
if [[ ${#packages[@]} -ne 1 ]]; then
  echo "expected one package, found: ${packages[*]:-none}" >&2
  exit 1
fi
contents=$(unzip -Z1 "${packages[0]}" | sort | tr '\n' ' ')
expected="LICENSE Readme.html pintaro.exe "
if [[ $contents != "$expected" ]]; then
  echo "${packages[0]} holds: $contents; expected: $expected" >&2
  exit 1
fi
echo "${packages[0]}: $contents($(stat -c %s "${packages[0]}") bytes)"

headers=$("$objdump" -p bin/pintaro.exe)
if ! grep -q "large address aware" <<<"$headers"; then
  echo "bin/pintaro.exe is not large-address-aware" >&2
  exit 1
fi
echo "bin/pintaro.exe: large-address-aware"
