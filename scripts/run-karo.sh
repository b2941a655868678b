#!/usr/bin/env bash
# Sets up the machine, builds what Karo needs and nothing more (the database and the four skins
# natively, then the 32-bit Windows program with its program folder; no test programs) and starts
# Karo.exe from its program folder under Wine.
# Where 32-bit programs cannot run, it builds and runs the 64-bit program instead and says so
# first. Without a display of its own the program runs on a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
config=i686
if [ "$karo_runs_32bit" -eq 0 ]; then
  echo "Running the 64-bit build: $karo_no_32bit_reason."
  config=x86_64
fi
"$root/scripts/setup.sh"
KARO_TARGETS="karo_data skin_Yellow skin_Azure skin_Blue skin_Gray" "$root/scripts/build.sh" native
KARO_TARGETS="karo_program_folder" "$root/scripts/build.sh" "$config"
if [ -n "${DISPLAY:-}" ]; then
  karo_prepare_prefix
else
  karo_start_wine
fi
cd "$root/build/$config/karo"
"$(karo_wine_for "$config")" ./Karo.exe
