#!/usr/bin/env bash
# Installs what is missing, builds Veltrim and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
# The program reads the shipped data/ when the current folder holds no data
# files of its own; its working file, and the files saved under typed names,
# go to the current folder. Without a display it says so in one line.
exec "$root/build/app/veltrim" "$@"
