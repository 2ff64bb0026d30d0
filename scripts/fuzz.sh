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

# The programs of models/programs.txt, and the headers generated from it.
cmake -DCALCIUM_SOURCE_DIR="$root" -DOUTPUT_DIR="$out/generated" -P "$root/cmake/programs.cmake"
mapfile -t programs <"$out/generated/programs.list"

common=(-std=c++20 -g -O1 -fno-omit-frame-pointer -ffp-contract=off -Wall -Wextra -Werror
        -fno-sanitize-recover=undefined -I"$root" -I"$out/generated")
mkdir -p "$out/obj"

# Library directories, instrumented for coverage but without libFuzzer's main,
# as one archive $out/obj/lib<name>.a: the linker takes only the objects a
# target needs.
archive() {  # name, source directories
  local name=$1 dir src obj pid
  shift
  local objs=() pids=()
  for dir in "$@"; do
    for src in "$root/$dir"/*.cpp; do
      case "$src" in *_test.cpp|*_bench.cpp|*/main.cpp|*/fuzz_reader.cpp) continue ;; esac
      obj="$out/obj/$(echo "${src#"$root"/}" | tr / _).o"
      "$cxx" "${common[@]}" -fsanitize=fuzzer-no-link,address,undefined -c "$src" -o "$obj" &
      pids+=($!)
      objs+=("$obj")
    done
  done
  for pid in "${pids[@]}"; do wait "$pid"; done
  rm -f "$out/obj/lib$name.a"
  ar rcs "$out/obj/lib$name.a" "${objs[@]}"
}

archive textio textio
libs_fields_fuzz=("$out/obj/libtextio.a")
# reader_fuzz calls the programs' own readers (each program's
# fuzz_reader.cpp), so it links their libraries and what those pull in
# (networks, run frame, integrator, BLAS).
libs_reader_fuzz=()
helpers_reader_fuzz=(fuzz/program_readers.cpp)
for prog in "${programs[@]}"; do helpers_reader_fuzz+=("models/$prog/fuzz_reader.cpp"); done
if printf '%s\n' "${targets[@]}" | grep -qx reader_fuzz; then
  archive programs "${programs[@]/#/models/}"
  archive calcium models/calcium
  archive integrator integrator
  libs_reader_fuzz=("$out/obj/libprograms.a" "$out/obj/libcalcium.a" "$out/obj/libintegrator.a"
                    "$out/obj/libtextio.a" -lblas)
fi

helpers_fields_fuzz=(fuzz/exact_decimal.cpp fuzz/expected_fields.cpp fuzz/read_back.cpp)
max_len_reader_fuzz=16384
max_len_fields_fuzz=1024

status=0
for t in "${targets[@]}"; do
  helpers_var="helpers_${t}[@]"
  srcs=("$root/fuzz/$t.cpp")
  for h in "${!helpers_var}"; do srcs+=("$root/$h"); done
  libs_var="libs_${t}[@]"
  "$cxx" "${common[@]}" -fsanitize=fuzzer,address,undefined "${srcs[@]}" "${!libs_var}" -o "$out/$t"

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
