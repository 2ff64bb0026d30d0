#!/usr/bin/env bash
# Checks that the C++ sources are formatted as .clang-format says, with
# Debian's clang-format 14 (other versions format differently).
#   scripts/format-check.sh              every tracked *.cpp and *.h
#   scripts/format-check.sh FILE...      only these
#   FORMAT_DIFF=1 scripts/format-check.sh   also show what would change
# Exits non-zero when a file would change; `clang-format-14 -i FILE` fixes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
CALCIUM_WITH_FORMAT=1 "$root/scripts/deps.sh"
tool=${CLANG_FORMAT:-clang-format-14}
"$tool" --version | grep -q ' version 14\.' || {
  echo "format-check: $tool is not clang-format 14" >&2
  exit 2
}

cd "$root"
files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi

bad=0
for f in "${files[@]}"; do
  if ! "$tool" --style=file "$f" | cmp -s "$f" -; then
    echo "not formatted: $f"
    [ "${FORMAT_DIFF:-0}" = 1 ] && { "$tool" --style=file "$f" | diff -u "$f" - || true; }
    bad=$((bad + 1))
  fi
done
if [ $bad -gt 0 ]; then
  echo "format-check: $bad of ${#files[@]} files would change (clang-format-14 -i FILE)"
  exit 1
fi
echo "format-check: ${#files[@]} files formatted"
