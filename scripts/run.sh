#!/usr/bin/env bash
# Installs what is missing, builds Veltrim and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
if [ -x "$root/build/app/veltrim" ]; then
  exec "$root/build/app/veltrim" "$@"
fi
# Without the windows, the command-line front end with the default conditions.
cd "$root/data"
exec "$root/build/cli/veltrim-calc" "$@"
