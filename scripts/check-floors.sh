#!/usr/bin/env bash
# Lists every include in src/ that climbs: from a folder to a folder on a higher floor; and every forward
# declaration of a class that a higher floor defines, an include the first check cannot see. Fails when
# there is one. The floors, from the ground up; resources/ and the headers at src/'s top (the version,
# the build's texts) are the ground's too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
floors=(win32 picture_logic picture_reading picture_window picture_windows menu icon_window app)

floor_of() {
  local i
  for i in "${!floors[@]}"; do [[ ${floors[$i]} == "$1" ]] && { echo "$i"; return; }; done
  echo 0
}

climbing=0
while IFS= read -r file; do
  folder=${file#src/}
  folder=${folder%%/*}
  own=$(floor_of "$folder")
  while IFS=: read -r line target; do
    to=$(floor_of "${target%%/*}")
    if ((to > own)); then
      echo "$file:$line includes $target, a floor up"
      climbing=$((climbing + 1))
    fi
  done < <(grep -n '^#include "' "$root/$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
done < <(cd "$root" && find src -mindepth 2 -name '*.cpp' -o -mindepth 2 -name '*.h' | sort)

# Where each class and struct is defined: "name floor" lines.
definitions=$(cd "$root" && grep -rEo --include='*.h' --include='*.cpp' '^ *(class|struct) +[A-Za-z_][A-Za-z0-9_]*[^;]*$' src |
  sed -E 's#^src/([^/]+)/[^:]*: *(class|struct) +([A-Za-z0-9_]+).*#\3 \1#')
while IFS=: read -r file line name; do
  folder=${file#src/}
  own=$(floor_of "${folder%%/*}")
  while read -r defined where; do
    if [[ $defined == "$name" ]] && (($(floor_of "$where") > own)); then
      echo "$file:$line declares $name, a class of $where, a floor up"
      climbing=$((climbing + 1))
    fi
  done <<<"$definitions"
done < <(cd "$root" && grep -rnE --include='*.h' --include='*.cpp' '^ *(class|struct) +[A-Za-z_][A-Za-z0-9_]* *;' src |
  sed -E 's/^([^:]+):([0-9]+): *(class|struct) +([A-Za-z0-9_]+).*/\1:\2:\4/')

if ((climbing > 0)); then
  echo "$climbing includes or declarations climb" >&2
  exit 1
fi
echo "floors: no include or declaration climbs (${floors[*]})"
