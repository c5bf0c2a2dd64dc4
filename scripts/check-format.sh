#!/usr/bin/env bash
# Fails on a C++ file that differs from .clang-format; `make format` formats them all.
# Usage: scripts/check-format.sh [source root] [--fix]
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"
mapfile -t files < <(find orboinout storage shell forms query app cli tests bench fuzz \
  \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
if [[ "${2:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [[ ${#unformatted[@]} -gt 0 ]]; then
  printf '%s differs from .clang-format\n' "${unformatted[@]}"
  echo "run: make format"
  exit 1
fi
echo "${#files[@]} files formatted"
