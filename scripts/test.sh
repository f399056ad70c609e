#!/usr/bin/env bash
# Sets up whatever is missing, builds, and runs every test: the native suite
# (AddressSanitizer and UBSan), a short run of every fuzz target and the
# Windows suite under Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${DVX_JOBS:-2}

bash "$root/scripts/setup.sh" || exit 1

echo "== native build and tests"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug -DDVX_SANITIZE=ON >/dev/null || exit 1
cmake --build "$root/build/native" -j"$jobs" || exit 1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build/native" --output-on-failure
native=$?

# Every parser fuzzed briefly (DVX_FUZZ_SECONDS each, 20 by default);
# scripts/fuzz.sh runs them long.
echo "== fuzz targets (clang, libFuzzer, ASan + UBSan)"
cmake -S "$root" -B "$root/build/fuzz" -DDVX_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DDVX_FUZZ_SECONDS="${DVX_FUZZ_SECONDS:-20}" >/dev/null || exit 1
cmake --build "$root/build/fuzz" -j"$jobs" || exit 1
ctest --test-dir "$root/build/fuzz" --output-on-failure -j"$jobs"
fuzz=$?

echo "== Windows build and tests under Wine"
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$root/build/win" -j"$jobs" || exit 1
"$root/scripts/wine-bed.sh" ctest --test-dir "$root/build/win" --output-on-failure
win=$?

# Users run Chinese and Western Windows alike: the whole Windows suite again
# with the ANSI code page 1252.
echo "== Windows tests again under a Western locale (code page 1252)"
DVX_WINE_LANG=C.UTF-8 "$root/scripts/wine-bed.sh" ctest --test-dir "$root/build/win" --output-on-failure
western=$?

if [ $native -ne 0 ] || [ $fuzz -ne 0 ] || [ $win -ne 0 ] || [ $western -ne 0 ]; then
  echo "== FAILED (native: $native, fuzz: $fuzz, Windows: $win, Windows 1252: $western)"
  exit 1
fi
echo "== all tests passed"
