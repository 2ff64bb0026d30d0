#!/usr/bin/env bash
# Checks for the build's Debian packages and installs those that are missing.
set -euo pipefail
need=(g++ cmake make libblas-dev libgtest-dev libbenchmark-dev
      python3 python3-numpy python3-pandas python3-matplotlib python3-pytest
      python3-tqdm python3-distributed)
[ "${CALCIUM_WITH_CLANG:-0}" = 1 ] && need+=(clang libclang-rt-14-dev)
[ "${CALCIUM_WITH_FORMAT:-0}" = 1 ] && need+=(clang-format-14)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
