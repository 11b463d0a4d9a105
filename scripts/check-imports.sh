#!/usr/bin/env bash
# Fails unless the program imports only DLLs that come with Windows itself.
set -euo pipefail
objdump=${1:?objdump}
exe=${2:?exe}
allowed='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|comctl32|comdlg32|advapi32|windowscodecs|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+|imm32|uxtheme|shlwapi)\.dll$'
status=0
count=0
while read -r dll; do
  count=$((count + 1))
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  if [[ ! $lower =~ $allowed ]]; then
    echo "not a Windows system DLL: $dll"
    status=1
  fi
done < <("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [[ $count -eq 0 ]]; then
  echo "no imports found in $exe"
  exit 1
fi
[[ $status -eq 0 ]] && echo "$count imported DLLs, all Windows' own"
exit $status
