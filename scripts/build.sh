#!/usr/bin/env bash
# Configures and builds the given configurations (default: all) under build/.
#   native  host compiler, AddressSanitizer and UBSan: the code that needs no Windows API
#   fuzz    clang with libFuzzer: the fuzz entry points
#   i686    32-bit Windows (the primary target), cross-built with MinGW-w64
#   x86_64  64-bit Windows
# KARO_WERROR=ON in the environment turns warnings into errors; KARO_TARGETS (names separated by
# blanks) builds only those targets and what they need.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native fuzz i686 x86_64)
werror=${KARO_WERROR:-OFF}
jobs=${KARO_JOBS:-$(nproc)}

for c in "${configs[@]}"; do
  dir="$root/build/$c"
  args=(-S "$root" -B "$dir" -G Ninja -DKARO_WERROR="$werror")
  case "$c" in
    native) args+=(-DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc) ;;
    fuzz)   args+=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DKARO_FUZZ=ON) ;;
    i686)   args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake") ;;
    x86_64) args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake") ;;
    *) echo "unknown configuration: $c" >&2; exit 2 ;;
  esac
  cmake "${args[@]}" >/dev/null
  if [ -n "${KARO_TARGETS:-}" ]; then
    read -r -a targets <<<"$KARO_TARGETS"
    cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$jobs"
  fi
done
