#!/usr/bin/env bash
# Sets up the machine, builds every configuration and runs every test: native (with sanitizers),
# the fuzz entry points for a short fixed time, and the Windows tests under Wine (i686 and x86_64).
# Arguments pick configurations (native fuzz i686 x86_64); the default is all of them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native fuzz i686 x86_64)

"$root/scripts/setup.sh"
KARO_WERROR=${KARO_WERROR:-ON} "$root/scripts/build.sh" "${configs[@]}"

source "$root/scripts/wine-env.sh"
need_wine=0
for c in "${configs[@]}"; do case "$c" in i686|x86_64) need_wine=1 ;; esac; done
[ $need_wine -eq 0 ] || karo_start_wine

failed=()
for c in "${configs[@]}"; do
  echo "=== tests: $c"
  if ! ctest --test-dir "$root/build/$c" --output-on-failure -j "${KARO_JOBS:-$(nproc)}"; then
    failed+=("$c")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "all tests passed"
