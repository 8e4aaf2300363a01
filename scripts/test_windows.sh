#!/usr/bin/env bash
# Builds the Windows quorvid.exe with MinGW-w64 and runs its tests under
# Wine: the unit-test suite through CTest, the black-box tests of every mode
# against the Linux build's results, https against a test authority trusted
# in the Wine prefix, and the release zip.
#   scripts/test_windows.sh
# The Linux program the black-box tests compare with is build/quorvid,
# built here when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --windows
export TZ=UTC
jobs=$(nproc)
root=$PWD

cmake -S . -B build-win -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build-win

# One Wine prefix for every run; its first start makes it. Wine's offers to
# install .NET and a browser engine are declined.
export WINEPREFIX=$root/build-win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
ctest --test-dir build-win --output-on-failure -j "$jobs"

if [[ ! -x build/quorvid ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  ninja -C build quorvid
fi
python3 tests/windows/wine_cli_test.py build-win/quorvid.exe build/quorvid
bash tests/support/win/run_tls.sh build-win

# One executable that needs no DLL beside the system's own.
dlls=$(x86_64-w64-mingw32-objdump -p build-win/quorvid.exe | awk '/DLL Name/ { print $3 }' |
  sort | tr '\n' ' ')
if [[ "$dlls" != "CRYPT32.dll KERNEL32.dll SHELL32.dll Secur32.dll USER32.dll WS2_32.dll bcrypt.dll msvcrt.dll " ]]; then
  echo "quorvid.exe needs: $dlls" >&2
  exit 1
fi
# The release zip holds the program, the README and the licence.
(cd build-win && cpack -G ZIP >/dev/null)
contents=$(unzip -Z1 build-win/quorvid-5.4.0-win64.zip | sort | tr '\n' ' ')
if [[ "$contents" != "LICENSE README.md quorvid.exe " ]]; then
  echo "quorvid-5.4.0-win64.zip holds: $contents" >&2
  exit 1
fi
echo "Windows build and tests: passed"
