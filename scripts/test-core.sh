#!/usr/bin/env bash
# Builds the computation library and the command line without Qt, the data
# tools or the benchmarks, and runs their tests: nothing below the windows
# may need Qt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build-core"
"$root/scripts/build.sh" "$build" -DVELTRIM_WERROR=ON -DVELTRIM_BUILD_GUI=OFF \
  -DVELTRIM_BUILD_TOOLS=OFF -DVELTRIM_BUILD_BENCH=OFF
if grep -q '^Qt6' "$build/CMakeCache.txt"; then
  echo "the build without the windows looked for Qt" >&2
  exit 1
fi
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
