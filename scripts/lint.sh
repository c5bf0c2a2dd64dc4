#!/bin/bash
# Runs clang-tidy (checks in .clang-tidy) over the program's sources.
# Usage: scripts/lint.sh BUILD_DIR [FILE...]; without files, every source of the program.
set -euo pipefail
build=${1:?build folder with compile_commands.json}
shift
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
  mapfile -t files < <(git ls-files 'orboinout/*.cpp' 'storage/*.cpp' 'shell/*.cpp' 'forms/*.cpp' \
    'query/*.cpp' 'app/*.cpp' 'cli/*.cpp')
else
  files=("$@")
fi
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]/#/$PWD/}" 2>/dev/null |
  grep -E '^/.*(warning|error):' | sort -u > "$build/lint.log" || true
if [ -s "$build/lint.log" ]; then
  cat "$build/lint.log"
  echo "$(wc -l < "$build/lint.log") findings" >&2
  exit 1
fi
echo "lint: no findings in ${#files[@]} files"
