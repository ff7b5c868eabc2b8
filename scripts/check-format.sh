#!/usr/bin/env bash
# Fails when a C++ file of the project is not laid out as .clang-format says.
#   scripts/check-format.sh          list the files that differ
#   scripts/check-format.sh --fix    rewrite them in place
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
differ=()
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    differ+=("$f")
  fi
done
if [ ${#differ[@]} -ne 0 ]; then
  echo "not laid out as .clang-format says (scripts/check-format.sh --fix rewrites them):"
  printf '  %s\n' "${differ[@]}"
  exit 1
fi
echo "all ${#files[@]} C++ files follow .clang-format"
