#!/usr/bin/env bash
# Writes the checksum lists other tools make, for the --vm and -x tests, so
# the tests need none of those tools. The files they name are made again by
# the tests with the same names and contents:
#   a.txt           "alpha\n"
#   b c.txt         "bravo charlie\n"       (a space)
#   q?.txt          "question\n"            (wildcard characters)
#   s*.txt          "star\n"
#   back\slash.txt  "backslash\n"           (escaped by the tools)
#   new<LF>line.txt "newline\n"             (escaped by the tools)
# Run from anywhere: bash tests/data/lists/make_lists.sh
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'alpha\n' > a.txt
printf 'bravo charlie\n' > 'b c.txt'
printf 'question\n' > 'q?.txt'
printf 'star\n' > 's*.txt'
printf 'backslash\n' > 'back\slash.txt'
printf 'newline\n' > "$(printf 'new\nline.txt')"
names=(a.txt 'b c.txt' 'q?.txt' 's*.txt' 'back\slash.txt' "$(printf 'new\nline.txt')")

sha256sum "${names[@]}" > "$out/sha256sum.txt"
sha256sum --tag "${names[@]}" > "$out/sha256sum-tag.txt"
md5sum -b "${names[@]}" > "$out/md5sum-b.txt"
sha1sum -b "${names[@]}" > "$out/sha1sum-b.txt"
sha512sum -b "${names[@]}" > "$out/sha512sum-b.txt"
b2sum "${names[@]}" > "$out/b2sum.txt"
b3sum "${names[@]}" > "$out/b3sum.txt"
# xxhsum escapes no name: the one with a line end is left out.
xxhsum -H1 "${names[@]:0:5}" > "$out/xxhsum.txt"
xxhsum -H1 --tag "${names[@]:0:5}" > "$out/xxhsum-tag.txt"
