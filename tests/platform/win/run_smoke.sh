#!/bin/sh
# Builds the Windows side of src/platform with the MinGW-w64 cross compiler
# (warnings are errors) and runs the twins' smoke test under Wine.
#
#   tests/platform/win/run_smoke.sh [build folder]
#
# CXX, AR and WINE name the compiler, the archiver and Wine's loader;
# WINEPREFIX, when unset, is a prefix of the build folder's own. The exit
# code is the smoke test's: the number of failed checks.
set -eu

root=$(cd "$(dirname "$0")/../../.." && pwd)
out=${1:-"$root/build-win-smoke"}
mkdir -p "$out/objects"
out=$(cd "$out" && pwd)
CXX=${CXX:-x86_64-w64-mingw32-g++-posix}
AR=${AR:-x86_64-w64-mingw32-ar}
WINE=${WINE:-/usr/lib/wine/wine64}
flags="-std=c++20 -O2 -Wall -Wextra -Werror -DUNICODE -D_UNICODE -I$root/src"

# Every unit but the POSIX twins is compiled; through the archive, the test
# links only the units it uses.
rm -f "$out/objects/"*.o "$out/libquorvid_platform.a"
for source in $(find "$root/src/platform" -name '*.cpp' ! -name '*_posix.cpp' | sort); do
  # shellcheck disable=SC2086
  "$CXX" $flags -c "$source" -o "$out/objects/$(basename "$source" .cpp).o"
done
"$AR" rcs "$out/libquorvid_platform.a" "$out/objects/"*.o
# shellcheck disable=SC2086
"$CXX" $flags -static "$root/tests/platform/win/platform_win_smoke.cpp" \
  "$out/libquorvid_platform.a" -o "$out/platform_win_smoke.exe" -lws2_32 -luser32

# The clock checks expect the New York zone's rules.
export WINEPREFIX="${WINEPREFIX:-$out/wine}"
TZ=America/New_York WINEDEBUG=-all "$WINE" "$out/platform_win_smoke.exe"
