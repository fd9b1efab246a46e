#!/usr/bin/env bash
# Sets up, builds and starts the program in the folder that holds the default settings file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake --preset dev -S "$root" >/dev/null
cmake --build "$root/build/dev" --target vimbrel
cd "$root"
exec "$root/build/dev/app/vimbrel" "$@"
