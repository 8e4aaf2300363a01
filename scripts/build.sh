#!/usr/bin/env bash
# Installs what is missing and builds Quorvid (release build in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build quorvid
