#!/usr/bin/env bash
# Times Quorvid against the usual command-line hashers on the same data in the
# same run and prints one table: throughput (MB/s or files/s), the ratio
# Quorvid/peer (above 1: Quorvid is faster) and peak resident memory.
#
#   bench/peers.sh [path/to/quorvid]      (default: build/quorvid)
#   RUNS=5 bench/peers.sh                  (timed runs per command, median kept)
#   KEEP=1 bench/peers.sh                  (keep the data under $DATA)
#
# Needs hyperfine, GNU time (/usr/bin/time), python3 and the peers: coreutils
# (md5sum sha1sum sha256sum sha512sum b2sum), b3sum, xxhash (xxhsum), rhash,
# hashdeep, and openssl for the bare digest loop. A missing peer is left out
# of the table.
set -euo pipefail

Q=${1:-build/quorvid}
Q=$(readlink -f "$Q")
RUNS=${RUNS:-3}
DATA=${DATA:-/tmp/quorvid-peers}
BIG=$DATA/big.bin   # 1 GiB, read once into the page cache
MID=$DATA/mid.bin   # 64 MiB
TREE=$DATA/tree     # 20,000 files of 0 to 16 KiB in nested folders
ROWS=$DATA/rows.tsv

mkdir -p "$DATA"
[[ -s $BIG ]] || head -c $((1024 * 1024 * 1024)) /dev/urandom > "$BIG"
[[ -s $MID ]] || head -c $((64 * 1024 * 1024)) /dev/urandom > "$MID"
if [[ ! -d $TREE ]]; then
  python3 - "$TREE" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(20000)
for i in range(20000):
    d = os.path.join(root, "a%02d" % (i % 40), "b%02d" % (i % 13), "c%d" % (i % 5))
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "f%05d.dat" % i), "wb") as f:
        f.write(rng.randbytes(rng.randint(0, 16 * 1024)))
PY
fi
# Everything into the page cache, so the table compares hashing, not the disk.
cat "$BIG" "$MID" > /dev/null
find "$TREE" -type f -print0 | xargs -0 cat > /dev/null
TREE_FILES=$(find "$TREE" -type f | wc -l)
: > "$ROWS"

have() { command -v "${1%% *}" > /dev/null 2>&1; }

# median seconds of RUNS runs of a shell command
median_seconds() {
  local json=$DATA/h.json
  hyperfine --style none --runs "$RUNS" --export-json "$json" -N "$1" > /dev/null 2>&1 ||
    hyperfine --style none --runs "$RUNS" --export-json "$json" "$1" > /dev/null 2>&1
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' "$json"
}

peak_rss_mib() {
  /usr/bin/time -v bash -c "$1" 2>&1 > /dev/null |
    awk '/Maximum resident set size/ {printf "%.1f", $NF / 1024}'
}

# case  amount  unit  quorvid-command  [peer-label peer-command]...
# amount: bytes (unit MB/s) or files (unit files/s)
bench() {
  local name=$1 amount=$2 unit=$3 qcmd=$4
  shift 4
  local qs
  qs=$(median_seconds "$qcmd")
  LAST_QS=$qs
  printf '%s\tQuorvid\t%s\t%s\t%s\t-\t%s\n' "$name" "$unit" "$amount" "$qs" "$(peak_rss_mib "$qcmd")" >> "$ROWS"
  while (($# >= 2)); do
    local label=$1 cmd=$2
    shift 2
    have "$cmd" || continue
    local ps
    ps=$(median_seconds "$cmd")
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$label" "$unit" "$amount" "$ps" "$qs" "$(peak_rss_mib "$cmd")" >> "$ROWS"
  done
  echo "done: $name" >&2
}

# The digest's own speed as `openssl speed` measures it in memory (1 MiB
# blocks), as if it had hashed the 1 GiB file: how close Quorvid's whole run,
# reading included, comes to the library's bare loop.
openssl_row() {
  local name=$1 digest=$2
  have openssl || return 0
  local kbps
  kbps=$(openssl speed -evp "$digest" -bytes 1048576 -seconds 3 2>/dev/null | awk 'END {sub(/k$/, "", $NF); print $NF}')
  [[ -n $kbps ]] || return 0
  printf '%s\topenssl speed\tMB/s\t%s\t%s\t%s\t-\n' "$name" $GIB \
    "$(python3 -c 'import sys; print(int(sys.argv[1]) / (float(sys.argv[2]) * 1000))' $GIB "$kbps")" "$LAST_QS" >> "$ROWS"
}

GIB=$((1024 * 1024 * 1024))
MIB64=$((64 * 1024 * 1024))

bench "MD5 1 GiB" $GIB MB/s "$Q --md5 $BIG" md5sum "md5sum $BIG" "rhash" "rhash --md5 $BIG"
openssl_row "MD5 1 GiB" md5
bench "SHA1 1 GiB" $GIB MB/s "$Q --sha1 $BIG" sha1sum "sha1sum $BIG" "rhash" "rhash --sha1 $BIG"
openssl_row "SHA1 1 GiB" sha1
bench "SHA2_256 1 GiB" $GIB MB/s "$Q --sha256 $BIG" sha256sum "sha256sum $BIG" "rhash" "rhash --sha256 $BIG"
openssl_row "SHA2_256 1 GiB" sha256
bench "SHA2_512 1 GiB" $GIB MB/s "$Q --sha512 $BIG" sha512sum "sha512sum $BIG" "rhash" "rhash --sha512 $BIG"
bench "SHA3_256 1 GiB" $GIB MB/s "$Q --sha3_256 $BIG" "rhash" "rhash --sha3-256 $BIG"
bench "Blake2S 1 GiB" $GIB MB/s "$Q --blake2s $BIG" "rhash" "rhash --blake2s $BIG"
bench "Blake2B 1 GiB" $GIB MB/s "$Q --blake2b $BIG" b2sum "b2sum $BIG" "rhash" "rhash --blake2b $BIG"
bench "Blake3 1 GiB" $GIB MB/s "$Q --blake3 $BIG" "b3sum" "b3sum $BIG" "b3sum -t1" "b3sum --num-threads 1 $BIG"
bench "XXHash64 1 GiB" $GIB MB/s "$Q --xxhash64 $BIG" "xxhsum -H1" "xxhsum -H1 $BIG"
bench "Blake3 64 MiB" $MIB64 MB/s "$Q --blake3 $MID" "b3sum" "b3sum $MID" "b3sum -t1" "b3sum --num-threads 1 $MID"
bench "SHA2_256 64 MiB" $MIB64 MB/s "$Q --sha256 $MID" sha256sum "sha256sum $MID"
# Eight algorithms rhash also knows, in one pass over the file.
bench "8 algorithms 1 GiB" $GIB MB/s \
  "$Q --md5 --sha1 --sha256 --sha512 --sha3_256 --sha3_512 --blake2s --blake2b $BIG" \
  "rhash" "rhash --md5 --sha1 --sha256 --sha512 --sha3-256 --sha3-512 --blake2s --blake2b $BIG"
bench "--all 1 GiB" $GIB MB/s "$Q --all $BIG"
bench "tree SHA2_256" "$TREE_FILES" files/s "$Q -r -d $TREE" \
  "hashdeep -r" "hashdeep -c sha256 -r $TREE" \
  "rhash -r" "rhash -r --sha256 $TREE" \
  "find|xargs sha256sum" "bash -c 'find $TREE -type f -print0 | xargs -0 sha256sum'"

python3 - "$ROWS" <<'PY'
import sys
rows = [l.rstrip("\n").split("\t") for l in open(sys.argv[1])]
print("| Case | Tool | Speed | Quorvid/peer | Peak RSS |")
print("|---|---|---:|---:|---:|")
for name, tool, unit, amount, secs, qsecs, rss in rows:
    amount, secs = float(amount), float(secs)
    speed = amount / secs / (1e6 if unit == "MB/s" else 1)
    ratio = "-" if qsecs == "-" else "%.2f" % (float(qsecs) and secs / float(qsecs))
    rss = "-" if rss == "-" else rss + " MiB"
    print("| %s | %s | %.0f %s | %s | %s |" % (name, tool, speed, unit, ratio, rss))
PY
[[ ${KEEP:-0} == 1 ]] || rm -rf "$DATA"
