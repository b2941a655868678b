#!/usr/bin/env bash
# Builds the benchmarks and runs them: natively (an optimised build without sanitizers) and
# under Wine (the i686 and x86_64 builds). Each benchmark prints its own figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KARO_JOBS:-$(nproc)}
benches=(bench_lzh_coder)
# Benchmarks of code that needs Windows: built and run for the Windows configurations only.
windows_benches=(bench_draw_primitives bench_skin_load)

native="$root/build/bench-native"
cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARO_SANITIZE=OFF \
  -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
cmake --build "$native" -j "$jobs" --target "${benches[@]}" >/dev/null
for c in i686 x86_64; do
  [ -f "$root/build/$c/build.ninja" ] || KARO_JOBS=$jobs "$root/scripts/build.sh" "$c" >/dev/null
  cmake --build "$root/build/$c" -j "$jobs" --target "${benches[@]}" "${windows_benches[@]}" >/dev/null
done

source "$root/scripts/wine-env.sh"
karo_start_wine
for b in "${benches[@]}"; do
  echo "== $b: native"
  "$native/bench/$b"
  echo "== $b: Wine, i686"
  /usr/lib/wine/wine "$root/build/i686/bench/$b.exe"
  echo "== $b: Wine, x86_64"
  /usr/lib/wine/wine64 "$root/build/x86_64/bench/$b.exe"
done
for b in "${windows_benches[@]}"; do
  echo "== $b: Wine, i686"
  /usr/lib/wine/wine "$root/build/i686/bench/$b.exe"
  echo "== $b: Wine, x86_64"
  /usr/lib/wine/wine64 "$root/build/x86_64/bench/$b.exe"
done
