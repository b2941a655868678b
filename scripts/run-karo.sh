#!/usr/bin/env bash
# Sets up the machine, builds the 32-bit Windows program and runs it under Wine.
# Without a display of its own the program runs on a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" native i686
source "$root/scripts/wine-env.sh"
[ -n "${DISPLAY:-}" ] || karo_start_wine
# Karo itself is not built yet: show the skin tool at work on the Yellow skin instead.
/usr/lib/wine/wine "$root/build/i686/tools/skntool/skntool.exe" list "$root/build/native/skins/Yellow.skn"
