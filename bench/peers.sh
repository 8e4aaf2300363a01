#!/usr/bin/env bash
# Times Quorvid against the usual command-line hashers on the same data in the
# same run and prints one table: throughput (MB/s or files/s), the ratio
# Quorvid/peer (above 1: Quorvid is faster) and peak resident memory.
#
#   bench/peers.sh [path/to/quorvid]      (default: build/quorvid)
#   RUNS=5 bench/peers.sh                  (timed runs per command, median kept)
#   KEEP=1 bench/peers.sh                  (keep the data under $DATA)
#   ONLY=tree bench/peers.sh               (only the cases whose name matches)
#
# Needs GNU time (/usr/bin/time), python3 and the peers: coreutils
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
# The large files are first flushed and dropped from the cache, then read once:
# a file just written sits in the cache in small pieces, one read from disk in
# the large pieces of read-ahead, the state a user's files are usually in. Left
# as written, every tool pays for the small pieces (on some virtual machines,
# mapping them costs several times more) and the table would measure how the
# file was made.
python3 - "$BIG" "$MID" <<'PY'
import os, sys
for path in sys.argv[1:]:
    fd = os.open(path, os.O_RDONLY)
    os.fsync(fd)
    os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
    os.close(fd)
PY
cat "$BIG" "$MID" > /dev/null
find "$TREE" -type f -print0 | xargs -0 cat > /dev/null
TREE_FILES=$(find "$TREE" -type f | wc -l)
: > "$ROWS"

have() { command -v "${1%% *}" > /dev/null 2>&1; }

# Median wall seconds of each command given, one line each. The commands
# take turns, one run each per round (after a round of warm-up), so a machine
# that drifts from minute to minute drifts for every command alike instead of
# for whichever ran last. `speed:DIGEST:BYTES` is not a command but the
# digest's bare loop as `openssl speed` measures it in memory (1 MiB blocks,
# one second), taking its turn like the others, as the seconds it would need
# for BYTES.
median_seconds() {
  python3 - "$RUNS" "$@" <<'PY'
import shlex, statistics, subprocess, sys, time
runs, commands = int(sys.argv[1]), sys.argv[2:]
times = [[] for _ in commands]

def run(command):
    if command.startswith("speed:"):
        _, digest, amount = command.split(":")
        out = subprocess.run(["openssl", "speed", "-evp", digest, "-bytes", "1048576",
                              "-seconds", "1"], capture_output=True, text=True).stdout
        return int(amount) / (float(out.split()[-1].rstrip("k")) * 1000)
    start = time.perf_counter()
    done = subprocess.run(shlex.split(command), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if done.returncode != 0:
        print("warning: exit code %d from %s" % (done.returncode, command), file=sys.stderr)
    return time.perf_counter() - start

for round in range(runs + 1):
    # Each round starts with the next command, so none always runs first.
    for k in range(len(commands)):
        i = (round + k) % len(commands)
        seconds = run(commands[i])
        if round > 0:
            times[i].append(seconds)
for t in times:
    print(statistics.median(t))
PY
}

peak_rss_mib() {
  /usr/bin/time -v bash -c "$1" 2>&1 > /dev/null |
    awk '/Maximum resident set size/ {printf "%.1f", $NF / 1024}'
}

# case  amount  unit  quorvid-command  [peer-label peer-command]...
# amount: bytes (unit MB/s) or files (unit files/s)
bench() {
  local name=$1 amount=$2 unit=$3 qcmd=$4
  [[ -z ${ONLY:-} || $name =~ $ONLY ]] || return 0
  shift 4
  local labels=() cmds=()
  while (($# >= 2)); do
    local tool=$2
    [[ $tool == speed:* ]] && tool=openssl
    have "$tool" && labels+=("$1") && cmds+=("$2")
    shift 2
  done
  local secs
  mapfile -t secs < <(median_seconds "$qcmd" "${cmds[@]}")
  local qs=${secs[0]} i rss
  printf '%s\tQuorvid\t%s\t%s\t%s\t-\t%s\n' "$name" "$unit" "$amount" "$qs" "$(peak_rss_mib "$qcmd")" >> "$ROWS"
  for i in "${!cmds[@]}"; do
    rss=-
    [[ ${cmds[i]} == speed:* ]] || rss=$(peak_rss_mib "${cmds[i]}")
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "${labels[i]}" "$unit" "$amount" "${secs[i + 1]}" \
      "$qs" "$rss" >> "$ROWS"
  done
  echo "done: $name" >&2
}

GIB=$((1024 * 1024 * 1024))
MIB64=$((64 * 1024 * 1024))

# "openssl speed": the digest's bare loop in memory, as if it had hashed the
# 1 GiB file: how close Quorvid's whole run, reading included, comes to it.
bench "MD5 1 GiB" $GIB MB/s "$Q --md5 $BIG" md5sum "md5sum $BIG" "rhash" "rhash --md5 $BIG" \
  "openssl speed" "speed:md5:$GIB"
bench "SHA1 1 GiB" $GIB MB/s "$Q --sha1 $BIG" sha1sum "sha1sum $BIG" "rhash" "rhash --sha1 $BIG" \
  "openssl speed" "speed:sha1:$GIB"
bench "SHA2_256 1 GiB" $GIB MB/s "$Q --sha256 $BIG" sha256sum "sha256sum $BIG" \
  "rhash" "rhash --sha256 $BIG" "openssl speed" "speed:sha256:$GIB"
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
# Quorvid with --progress beside it: the progress line must cost nothing.
bench "tree SHA2_256" "$TREE_FILES" files/s "$Q -r -d $TREE" \
  "quorvid --progress" "$Q --progress -r -d $TREE" \
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
