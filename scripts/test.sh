#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: once in a
# normal build, the fuzz targets for a bounded time, and the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export TZ=UTC
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build
ctest --test-dir build --output-on-failure -j "$jobs"

# The README's build and install commands as written, on a copy of the tree:
# the stand-alone build, cmake --install into a DESTDIR, and the Debian
# package against the shared libraries, which lintian checks.
bash tests/packaging/readme_install_test.sh

# Every fuzz target for a bounded time (clang, ASan and UBSan); fails on any report.
bash scripts/fuzz.sh 15

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVID_SANITIZE=ON >/dev/null
ninja -C build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
