#!/usr/bin/env bash
# Installs what is missing and builds the Debian package in build-deb/: a
# release build against the shared OpenSSL and xxHash libraries, so that the
# distribution's security updates reach it, without the test suite.
#
#   bash scripts/package.sh          -> build-deb/quorvid_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Debian's hardening flags (stack protector, fortified functions, full RELRO),
# as a distribution's own build would pass them.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"  # CMake reads no CPPFLAGS
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DQUORVID_STATIC_LIBS=OFF -DQUORVID_TESTS=OFF >/dev/null
ninja -C build-deb -j "$(nproc)" quorvid quorvid_docs
(cd build-deb && cpack -G DEB >/dev/null)
ls build-deb/quorvid_*.deb
