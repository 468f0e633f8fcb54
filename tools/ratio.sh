#!/usr/bin/env bash
# Non-blank lines of the program's code (editor/, gento/) against those of its tests (unit,
# end-to-end and scenario files under tests/; fuzz targets and benchmarks are not counted).
cd "$(dirname "$0")/.."
count() { cat "$@" | grep -cv '^[[:space:]]*$'; }
code=$(count $(git ls-files 'editor/*.cpp' 'editor/*.hpp' 'gento/*.cpp' 'gento/*.hpp'))
tests=$(count $(git ls-files 'tests/*'))
echo "code $code, tests $tests, ratio $(awk "BEGIN{printf \"%.2f\", $tests/$code}")"
