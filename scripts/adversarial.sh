#!/bin/bash
# An adversarial campaign against veltrim-calc and the Python module, each
# case in a temporary folder of its own: random number texts, random and
# hostile batch files (binary, UTF-16, huge, endless), signals in the middle
# of batches, and links, pipes, folders and protected files as --out
# targets. It looks for a crash, a hang, a number read silently other than
# typed, output cut in half, a temporary left behind, and a file changed or
# replaced that the run did not name. Not part of the test suite: at scale 1
# it takes a few minutes of CPU; the counts it prints are the record.
#
#   scripts/adversarial.sh [build folder (build)] [scale (1)] [seed (29)]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
exec /usr/bin/python3 "$root/scripts/adversarial/run.py" "$root" "$build" "${2:-1}" "${3:-29}"
