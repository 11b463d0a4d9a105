#!/usr/bin/env bash
# Counts the lines of the tests and fuzz targets together against those of the program and fails when
# they exceed 40 %. A line counts when it is not blank and does not start with // (after leading white
# space), in every *.cpp and *.h file under tests/, fuzz/ and src/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
limit=${PINTARO_TEST_RATIO_LIMIT:-40}

lines_in() {
  find "$root/$1" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 cat | grep -cvE '^[[:space:]]*(//|$)' || true
}

src=$(lines_in src)
tests=$(lines_in tests)
fuzz=$(lines_in fuzz)
percent=$(((tests + fuzz) * 100 / src))
echo "lines: src $src, tests $tests, fuzz $fuzz, (tests + fuzz)/src ${percent} % (limit ${limit} %)"
if (((tests + fuzz) * 100 > src * limit)); then
  echo "the tests and fuzz targets exceed ${limit} % of the program's lines" >&2
  exit 1
fi
