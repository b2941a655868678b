#!/usr/bin/env bash
# Builds the benchmarks and runs them: natively (an optimised build without sanitizers) and
# under Wine (the i686 and x86_64 builds). Each benchmark prints its own figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KARO_JOBS:-$(nproc)}
source "$root/scripts/wine-env.sh"
targets=(i686 x86_64)
if [ "$karo_runs_32bit" -eq 0 ]; then
  echo "Benchmarks of the 64-bit build only: $karo_no_32bit_reason."
  targets=(x86_64)
fi
benches=(bench_lzh_coder)
# Benchmarks of code that needs Windows: built and run for the Windows configurations only.
windows_benches=(bench_draw_primitives bench_skin_load bench_db_rows bench_karo_statements bench_skin_activation bench_frame_paint bench_karo bench_skin_switch)

native="$root/build/bench-native"
cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARO_SANITIZE=OFF \
  -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
cmake --build "$native" -j "$jobs" --target "${benches[@]}" >/dev/null
for c in "${targets[@]}"; do
  [ -f "$root/build/$c/build.ninja" ] || KARO_JOBS=$jobs "$root/scripts/build.sh" "$c" >/dev/null
  cmake --build "$root/build/$c" -j "$jobs" --target "${benches[@]}" "${windows_benches[@]}" >/dev/null
done

karo_start_wine
for b in "${benches[@]}"; do
  echo "== $b: native"
  "$native/bench/$b"
  for c in "${targets[@]}"; do
    echo "== $b: Wine, $c"
    "$(karo_wine_for "$c")" "$root/build/$c/bench/$b.exe"
  done
done
for b in "${windows_benches[@]}"; do
  for c in "${targets[@]}"; do
    echo "== $b: Wine, $c"
    "$(karo_wine_for "$c")" "$root/build/$c/bench/$b.exe"
  done
done
