#!/usr/bin/env bash
# Runs ./test.sh N times in a row and counts the green runs; each run's log is kept in build/repeat/.
#   scripts/repeat-tests.sh [N]   (N = 10 when left out)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10}
logs="$root/build/repeat"
mkdir -p "$logs"
green=0
for ((i = 1; i <= runs; i++)); do
  start=$(date +%s)
  if "$root/test.sh" >"$logs/run-$i.log" 2>&1; then
    green=$((green + 1))
    outcome=green
  else
    outcome="FAILED (see $logs/run-$i.log)"
    grep -E '\*\*\*Failed|\*\*\*Timeout|\(Failed\)|\(Timeout\)|Failure$' "$logs/run-$i.log" | head -5
  fi
  echo "run $i of $runs: $outcome in $(($(date +%s) - start)) s; $(tail -n1 "$logs/run-$i.log")"
done
echo "green runs: $green of $runs"
[[ $green -eq $runs ]]
