#!/usr/bin/env bash
# Fails unless the program imports only DLLs that come with Windows itself, and keeps no settings: it neither
# imports nor looks up at run time (by a name the program holds) a function of the registry or of settings files.
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
settings='^(Reg(Open|Create|Set|Get|Query|Delete|Enum|Load|Save|Copy|Rename)[A-Za-z]*|SH(Get|Set|Delete|Query|Reg)[A-Za-z]*Value[A-Za-z]*|(Get|Write)[A-Za-z]*Profile[A-Za-z]*)$'
while read -r name; do
  echo "reads or writes settings: $name"
  status=1
done < <({ "$objdump" -p "$exe" | awk '$1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print $3 }'; strings -a "$exe"; } |
  grep -E "$settings" | sort -u)
[[ $status -eq 0 ]] && echo "$count imported DLLs, all Windows' own; no settings read or written"
exit $status
