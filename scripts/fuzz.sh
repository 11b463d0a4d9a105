#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset, clang) and runs each for ITERATIONS inputs (default
# 200000), starting from its seeds in fuzz/corpus/<target>/ and from what earlier runs kept in
# build/fuzz/corpus/<target>/. An input that fails a check is saved as build/fuzz/<target>-crash-*
# and the script stops with an error.
# Usage: scripts/fuzz.sh [ITERATIONS [TARGET...]]   targets: command_line stretch packed_dib jpeg drop_list
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-200000}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(command_line stretch packed_dib jpeg drop_list)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== $target: $runs inputs"
  start=$(date +%s)
  build/fuzz/bin/"${target}"_fuzzer -runs="$runs" -print_final_stats=1 -artifact_prefix=build/fuzz/"$target"- \
    "$corpus" fuzz/corpus/"$target" 2>&1 | grep -E '^(stat::number_of_executed_units|Done|==.*ERROR)|check failed|runtime error|Test unit written'
  echo "   $(($(date +%s) - start)) s, corpus: $(find "$corpus" -type f | wc -l) inputs"
done
