#!/usr/bin/env bash
# Sets up the machine, builds the 32-bit Windows program and runs it under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" i686
source "$root/scripts/wine-env.sh"
[ -n "${DISPLAY:-}" ] || karo_start_wine
echo "nothing to run yet"
