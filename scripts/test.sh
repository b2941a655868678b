#!/usr/bin/env bash
# Sets up the machine, builds every configuration and runs every test: native (with sanitizers),
# the fuzz entry points for a short fixed time, and the Windows tests under Wine (i686 and x86_64).
# Arguments pick configurations (native fuzz i686 x86_64); the default is all of them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native fuzz i686 x86_64)

"$root/scripts/setup.sh"
"$root/scripts/check-layers.sh"
KARO_WERROR=${KARO_WERROR:-ON} "$root/scripts/build.sh" "${configs[@]}"

source "$root/scripts/wine-env.sh"
# Where 32-bit programs cannot run, the i686 build (made above, warnings as errors) is not run,
# and the x86_64 suite stands in for it.
run=()
for c in "${configs[@]}"; do
  if [ "$c" = i686 ] && [ "$karo_runs_32bit" -eq 0 ]; then
    echo "i686: tests built but not run: $karo_no_32bit_reason"
    case " ${configs[*]} " in *" x86_64 "*) ;; *)
      KARO_WERROR=${KARO_WERROR:-ON} "$root/scripts/build.sh" x86_64
      run+=(x86_64) ;;
    esac
  else
    run+=("$c")
  fi
done
need_wine=0
for c in "${run[@]}"; do case "$c" in i686|x86_64) need_wine=1 ;; esac; done
[ $need_wine -eq 0 ] || karo_start_wine

failed=()
for c in "${run[@]}"; do
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
