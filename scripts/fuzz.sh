#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# from its seed corpus in fuzz/corpus/.  scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTRIM_FUZZ=ON -DVELTRIM_BUILD_GUI=OFF -DVELTRIM_BUILD_TOOLS=OFF \
  -DVELTRIM_BUILD_BENCH=OFF -DVELTRIM_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
status=0
for target in "$build"/fuzz/Fuzz*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus_name=$(echo "${name#Fuzz}" | sed -E 's/([a-z0-9])([A-Z])/\1_\2/g' | tr 'A-Z' 'a-z')
  seeds="$root/fuzz/corpus/$corpus_name"
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "== $name for ${seconds}s"
  log="$work.log"
  if (cd "$build" && "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        "$work" >"$log" 2>&1); then
    grep -E '^Done [0-9]+ runs' "$log" || tail -n 1 "$log"
  else
    echo "$name FAILED:"; tail -n 60 "$log"
    status=1
  fi
  rm -f "$log"
  rm -rf "$work"
done
exit $status
