#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a
# bounded time on a copy of its seed corpus.
#   scripts/fuzz.sh                     every target, 60 s each
#   FUZZ_SECONDS=20 scripts/fuzz.sh reader_fuzz
# Builds in build-fuzz/; findings (crash, leak, UB, failed check, timeout)
# land in build-fuzz/findings/<target>/ and make the script exit non-zero.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
CALCIUM_WITH_CLANG=1 "$root/scripts/deps.sh"

seconds=${FUZZ_SECONDS:-60}
out="$root/build-fuzz"
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(reader_fuzz fields_fuzz)
cxx=${FUZZ_CXX:-clang++-14}
command -v "$cxx" >/dev/null || cxx=clang++
# CMAKE_BUILD_PARALLEL_LEVEL, when set, caps the compiles.
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc 2>/dev/null || echo 4)}
werror=OFF
[ "${CALCIUM_WERROR:-0}" = 1 ] && werror=ON

# The CMake build with clang: every library instrumented for coverage and the
# sanitizers; the targets alone link libFuzzer's main (fuzz/CMakeLists.txt).
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$out" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" -DCALCIUM_BUILD_FUZZ=ON \
  -DCALCIUM_BUILD_TESTS=OFF -DCALCIUM_BUILD_BENCH=OFF -DCALCIUM_WERROR=$werror >/dev/null
cmake --build "$out" -j "$jobs" --target "${targets[@]}"
# The programs of models/programs.txt, as the build read them.
mapfile -t programs <"$out/generated/programs.list"

max_len_reader_fuzz=16384
max_len_fields_fuzz=1024

status=0
for t in "${targets[@]}"; do
  # Work on a copy so the checked-in seeds stay as they are; the reader also
  # gets every example parameter file, behind the line that names its program.
  corpus="$out/corpus/$t"
  rm -rf "$corpus"
  mkdir -p "$corpus" "$out/findings/$t"
  cp "$root/fuzz/corpus/$t/"* "$corpus/"
  if [ "$t" = reader_fuzz ]; then
    for prog in "${programs[@]}"; do
      for f in "$root/examples/$prog/"*.INP; do
        [ -f "$f" ] || continue
        { printf '%s\n' "$prog"; cat "$f"; } >"$corpus/example_${prog}_$(basename "$f")"
      done
    done
  fi

  max_len_var="max_len_$t"
  log="$out/$t.log"
  echo "== $t: ${seconds}s on $(ls "$corpus" | wc -l) seed files"
  rc=0
  mkdir -p "$out/tmp"
  TMPDIR="$out/tmp" ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$out/$t" -max_total_time="$seconds" -timeout=10 -max_len="${!max_len_var}" -print_final_stats=1 \
      -artifact_prefix="$out/findings/$t/" "$corpus" >"$log" 2>&1 || rc=$?
  runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1 || true)
  if [ $rc -ne 0 ]; then
    echo "$t: FINDING (exit $rc); log $log, inputs in $out/findings/$t/"
    grep -E 'CHECK FAILED|ERROR: |runtime error|SUMMARY' "$log" | head -20 || true
    status=1
  else
    echo "$t: ${runs:-no run count} without findings"
  fi
done
exit $status
