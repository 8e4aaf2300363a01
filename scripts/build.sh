#!/usr/bin/env bash
# Installs what is missing and builds Quorvid in build/ (release build): the
# program, linked with OpenSSL and xxHash in whole, its manual page, bash
# completion and compressed documents, all that `cmake --install build` needs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build -j "$(nproc)" quorvid quorvid_docs
