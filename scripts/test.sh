#!/usr/bin/env bash
# Builds everything and runs every test (the C++ tests with ctest, the
# calcium command's with pytest).
#   scripts/test.sh                      release build in build/
#   CALCIUM_SANITIZE=1 scripts/test.sh   AddressSanitizer + UBSan build in build-asan/
#   CALCIUM_WERROR=1 scripts/test.sh     either of them with warnings as errors (CI)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
# CMAKE_BUILD_PARALLEL_LEVEL, when set, caps the compiles and the test processes.
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc 2>/dev/null || echo 4)}
werror=OFF
[ "${CALCIUM_WERROR:-0}" = 1 ] && werror=ON
if [ "${CALCIUM_SANITIZE:-0}" = 1 ]; then
  dir="$root/build-asan"
  flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCALCIUM_BUILD_BENCH=OFF -DCALCIUM_WERROR=$werror \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  dir="$root/build"
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALCIUM_WERROR=$werror >/dev/null
fi
cmake --build "$dir" -j "$jobs"
ctest --test-dir "$dir" --output-on-failure -j "$jobs"
# The calcium command's tests, on this build's legend and programs.
CALCIUM_LAYOUTS="$dir/share/calcium/layouts.json" PYTHONDONTWRITEBYTECODE=1 \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider "$root/python/tests"
