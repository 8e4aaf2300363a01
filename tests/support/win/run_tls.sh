#!/bin/sh
# Cross-builds the Windows quorvid.exe and tls_win_check.exe with MinGW-w64
# and runs them under Wine against local servers (tls_servers.py, on
# 127.0.0.1 only): a hash list over http and https through quorvid.exe, then
# the TLS session's own checks.
#
#   tests/support/win/run_tls.sh [build folder]
#
# The build folder is a Windows cross build, configured here when it has
# none yet. CXX and WINE name the compiler and Wine's loader; WINEPREFIX,
# when unset, is a prefix of the build folder's own. A test certificate
# authority made for the run is trusted in that prefix (the current user's
# Root store, in the registry) and removed again at the end. The exit code
# is the number of failed checks.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${1:-"$root/build-win-tls"}
CXX=${CXX:-x86_64-w64-mingw32-g++-posix}
WINE=${WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=-all

# --- build ------------------------------------------------------------------
if [ ! -f "$out/build.ninja" ]; then
  cmake -S "$root" -B "$out" -G Ninja --toolchain "$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUORVID_TESTS=OFF >/dev/null
fi
out=$(cd "$out" && pwd)
ninja -C "$out" -j2 quorvid >/dev/null
"$CXX" -std=c++20 -O2 -Wall -Wextra -Werror -DUNICODE -D_UNICODE -I"$root/src" -I"$root/tests" -static \
  "$here/tls_win_check.cpp" "$out/libquorvid_support.a" "$out/libquorvid_platform.a" \
  -o "$out/tls_win_check.exe" -lsecur32 -lcrypt32 -lws2_32 -lbcrypt
export WINEPREFIX="${WINEPREFIX:-$out/wine}"

# --- certificates and content -----------------------------------------------
work=$(mktemp -d)
servers=""
rootKey=""
# shellcheck disable=SC2317 # called by the trap
cleanup() {
  if [ -n "$servers" ]; then kill "$servers" 2>/dev/null || true; fi
  if [ -n "$rootKey" ]; then "$WINE" reg delete "$rootKey" /f >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mkdir "$work/certs" "$work/content"
cd "$work/certs"

# authority NAME COMMON_NAME
authority() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.crt" -days 2 \
    -subj "/CN=$2" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}
# server NAME AUTHORITY SUBJECT_ALT_NAMES: NAME.pem holds certificate and key.
server() {
  openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$1" 2>/dev/null
  printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' "$3" \
    >"$1.ext"
  openssl x509 -req -in "$1.csr" -CA "$2.crt" -CAkey "$2.key" -CAcreateserial -days 2 \
    -extfile "$1.ext" -out "$1.crt" 2>/dev/null
  cat "$1.crt" "$1.key" >"$1.pem"
}
authority testca "Quorvid test authority"
authority strangerca "Stranger authority"
server trusted testca "DNS:localhost,IP:127.0.0.1"
server stranger strangerca "DNS:localhost,IP:127.0.0.1"
server othername testca "DNS:other.test"

hash1=d41d8cd98f00b204e9800998ecf8427e
hash2=900150983cd24fb0d6963f7d28e17f72
printf '%s  empty.txt\n%s  abc.txt\n' "$hash1" "$hash2" >"$work/content/list.txt"
# The pattern tls_win_check.cpp expects (BigBody).
python3 -c 'import sys; sys.stdout.buffer.write(bytes((i * 7 + i // 251) & 255 for i in range(1000003)))' \
  >"$work/content/big.bin"

# --- servers ----------------------------------------------------------------
python3 "$here/tls_servers.py" "$work/certs" "$work/content" "$work/ports" &
servers=$!
tries=0
while [ ! -f "$work/ports" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ]; then
    echo "the servers did not start"
    exit 1
  fi
  sleep 0.1
done
port() { awk -v name="$1" '$1 == name { print $2 }' "$work/ports"; }

# --- quorvid.exe --------------------------------------------------------------
failures=0
# fetch NAME URL ok|refused TEXT: quorvid.exe lists the hashes at URL, or
# refuses it with TEXT in its message.
fetch() {
  if output=$("$WINE" "$out/quorvid.exe" --url "$2" 2>&1); then code=0; else code=$?; fi
  case $3 in
    ok) [ "$code" -eq 0 ] && printf '%s\n' "$output" | grep -qF "0: $hash1" &&
      printf '%s\n' "$output" | grep -qF "1: $hash2" ;;
    refused) [ "$code" -ne 0 ] && printf '%s\n' "$output" | grep -qF "$4" ;;
  esac && result=ok || result=FAILED
  printf '%-55s %s\n' "$1" "$result"
  if [ "$result" != ok ]; then
    failures=$((failures + 1))
    printf '%s\n' "$output" | sed 's/^/    /'
  fi
}

fetch "http" "http://127.0.0.1:$(port plain)/list.txt" ok
trusted=$(port trusted)
fetch "https, authority not trusted yet" "https://localhost:$trusted/list.txt" refused \
  "[TLS handshake with localhost:$trusted failed: certificate verify failed (the issuer is not trusted)]"

# The Root store's registry form: the key is the SHA-1 thumbprint, the Blob
# the serialized certificate, one property (32: the encoded certificate)
# with its 32-bit little-endian id, flags and length before it.
openssl x509 -in testca.crt -outform DER -out testca.der
thumbprint=$(openssl x509 -in testca.crt -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
le32() { printf '%02X%02X%02X%02X' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
blob="$(le32 32)$(le32 1)$(le32 "$(stat -c %s testca.der)")$(od -An -v -tx1 testca.der | tr -d ' \n' | tr a-f A-F)"
rootKey="HKCU\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint"
"$WINE" reg add "$rootKey" /v Blob /t REG_BINARY /d "$blob" /f >/dev/null

fetch "https by name" "https://localhost:$trusted/list.txt" ok
fetch "https by address" "https://127.0.0.1:$trusted/list.txt" ok
stranger=$(port stranger)
fetch "https, authority nobody trusts" "https://localhost:$stranger/list.txt" refused \
  "[TLS handshake with localhost:$stranger failed: certificate verify failed (the issuer is not trusted)]"
othername=$(port othername)
fetch "https, certificate for another name" "https://localhost:$othername/list.txt" refused \
  "[TLS handshake with localhost:$othername failed: certificate verify failed (the certificate is not for localhost)]"

# --- the TLS session's own checks ---------------------------------------------
# shellcheck disable=SC2046
if "$WINE" "$out/tls_win_check.exe" $(tr ' ' '=' <"$work/ports"); then code=0; else code=$?; fi
failures=$((failures + code))
echo "failures: $failures"
exit "$failures"
