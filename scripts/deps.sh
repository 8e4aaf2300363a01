#!/usr/bin/env bash
# Installs the Debian packages Quorvid needs to build and test, only those missing.
#   scripts/deps.sh            the Linux build
#   scripts/deps.sh --windows  the Windows cross build and Wine to run it
set -euo pipefail
# file, dpkg-dev, groff-base, man-db and lintian build and check the package and the
# manual page; clang and libclang-rt-14-dev build the fuzz targets.
packages=(g++ cmake ninja-build pkg-config libssl-dev libxxhash-dev libgtest-dev
          openssl python3 coreutils gzip file dpkg-dev groff-base man-db lintian
          clang libclang-rt-14-dev)
if [[ "${1:-}" == --windows ]]; then
  # googletest's sources are built with the cross compiler; wine64 runs the results.
  packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest libxxhash-dev wine64
            openssl python3 unzip)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" </dev/null
fi
