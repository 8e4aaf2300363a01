#!/usr/bin/env bash
# Times --hl with a large list of known hashes over a folder of files:
# 1,000,000 SHA2_256 hashes (the digests of 1,000 of the files among them)
# against 10,000 files, and prints the time and peak resident memory.
#
#   bench/lookup.sh [path/to/quorvid]      (default: build/quorvid)
#   KEEP=1 bench/lookup.sh                  (keep the data under $DATA)
#
# Needs GNU time (/usr/bin/time) and python3.
set -euo pipefail

Q=$(readlink -f "${1:-build/quorvid}")
DATA=${DATA:-/tmp/quorvid-lookup}
mkdir -p "$DATA"
if [[ ! -s $DATA/known.sha256 ]]; then
  python3 - "$DATA" <<'PY'
import hashlib, os, random, sys
root = sys.argv[1]
rng = random.Random(10000)
digests = []
for i in range(10000):
    d = os.path.join(root, "tree", "d%02d" % (i % 50))
    os.makedirs(d, exist_ok=True)
    data = rng.randbytes(rng.randint(0, 4096))
    with open(os.path.join(d, "f%05d.dat" % i), "wb") as f:
        f.write(data)
    if i % 10 == 0:
        digests.append(hashlib.sha256(data).hexdigest())
with open(os.path.join(root, "known.sha256"), "w") as f:
    for i in range(1000000 - len(digests)):
        f.write("%064x  other%07d.bin\n" % (rng.getrandbits(256), i))
    for n, digest in enumerate(digests):
        f.write("%s  found%04d.dat\n" % (digest, n))
PY
fi
cat "$DATA"/tree/*/* > /dev/null

out=$(mktemp)
/usr/bin/time -f "%e s, peak %M KiB" -o "$out.time" "$Q" --hl "$DATA/known.sha256" -r -d "$DATA/tree" > "$out" || true
echo "--hl, 1,000,000 hashes over 10,000 files: $(cat "$out.time"), $(wc -l < "$out") matches"
rm -f "$out" "$out.time"
[[ -n ${KEEP:-} ]] || rm -rf "$DATA"
