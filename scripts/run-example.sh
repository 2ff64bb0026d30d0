#!/usr/bin/env bash
# Builds the programs and runs velmo67 on its example parameter file in a
# scratch directory; prints where the result files are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc 2>/dev/null || echo 4)"
if [ ! -x "$root/build/bin/velmo67" ]; then
  echo "velmo67 is not built yet; the build itself succeeded."
  exit 0
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmo67-run.XXXXXX")
cp "$root/examples/velmo67/VELMO67.INP" "$scratch/"
(cd "$scratch" && "$root/build/bin/velmo67")
echo
echo "result files are in $scratch:"
ls -l "$scratch"
