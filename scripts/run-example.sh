#!/usr/bin/env bash
# Builds the programs and runs velmo67 on its example parameter file in a
# scratch directory, and plots the run; prints where the result files, the
# plot and the programs are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
# A new build directory is configured as a release build; an existing one
# keeps the build type it was given.
if [ -f "$root/build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build" >/dev/null
else
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# CMAKE_BUILD_PARALLEL_LEVEL, when set, caps the compiles.
cmake --build "$root/build" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc 2>/dev/null || echo 4)}"
bin="$root/build/bin"
if [ ! -x "$bin/velmo67" ]; then
  echo "run-example: the build did not produce $bin/velmo67" >&2
  exit 1
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmo67-run.XXXXXX")
cp "$root/examples/velmo67/VELMO67.INP" "$scratch/"
(cd "$scratch" && "$bin/velmo67")
echo
echo "result files are in $scratch:"
ls -l "$scratch"
echo
echo "the example's plot (calcium plot): $("$root/scripts/calcium" plot "$scratch" -o "$scratch/velmo67-example.png")"
echo
echo "the programs are in $bin;"
echo "cmake --install $root/build --prefix ~/.local puts them into ~/.local/bin"
