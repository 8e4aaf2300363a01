#!/usr/bin/env python3
"""Writes vectors.txt: known answers for every algorithm Quorvid offers.

Each answer comes from a tool independent of Quorvid:
  python3 hashlib      MD5, SHA1, SHA2, SHA3, BLAKE2s-256, BLAKE2b-512
  b3sum                BLAKE3
  xxhsum -H1           XXH64 (seed 0, canonical big-endian text)
  Perl Digest::MurmurHash3::PurePerl murmur128   MurmurHash3_x86_128 (h1..h4)
  Ruby murmurhash3 gem MurmurHash3::V128.str_hash MurmurHash3_x64_128
       (four 32-bit words: low then high half of h1, then of h2)

Inputs (the tests rebuild them the same way):
  empty     no bytes
  abc       the three letters abc
  utf8      the UTF-8 bytes of UTF8_TEXT below
  gen:N     N bytes, byte i = (i*31 + 7) & 0xFF

Line format: <input> <algorithm> <lower-case hash text>, one blank between.
Run: python3 make_vectors.py > vectors.txt
"""
import hashlib
import os
import subprocess
import sys
import tempfile

UTF8_TEXT = "Grüße, café — 日本語 ✓"
GEN_SIZES = [1023, 1024, 1025, 3073, 65535, 65536, 65537, 200000, 1048577]


def gen(n):
    return bytes((i * 31 + 7) & 0xFF for i in range(n))


def inputs():
    yield "empty", b""
    yield "abc", b"abc"
    yield "utf8", UTF8_TEXT.encode("utf-8")
    for n in GEN_SIZES:
        yield f"gen:{n}", gen(n)


def first_word(cmd):
    return subprocess.run(cmd, check=True, capture_output=True, text=True).stdout.split()[0]


# The Perl module UTF-8-encodes its argument first, which would turn every
# byte above 0x7F into two; it is handed raw bytes, so that step is disabled.
PERL_X86 = ('use Digest::MurmurHash3::PurePerl; no warnings "redefine"; *utf8::encode = sub {};'
            ' local $/; open(my $f, "<:raw", $ARGV[0]) or die;'
            ' my $d = <$f>; $d = "" unless defined $d;'
            ' printf "%08x%08x%08x%08x\\n", murmur128($d, 0);')
RUBY_X64 = ("require 'murmurhash3'; d = File.binread(ARGV[0]);"
            " w = MurmurHash3::V128.str_hash(d, 0);"
            " h1 = (w[1] << 32) | w[0]; h2 = (w[3] << 32) | w[2];"
            " printf(\"%016x%016x\\n\", h1, h2)")


def answers(path, data):
    yield "MD5", hashlib.md5(data).hexdigest()
    yield "SHA1", hashlib.sha1(data).hexdigest()
    yield "SHA2_256", hashlib.sha256(data).hexdigest()
    yield "SHA2_384", hashlib.sha384(data).hexdigest()
    yield "SHA2_512", hashlib.sha512(data).hexdigest()
    yield "SHA3_256", hashlib.sha3_256(data).hexdigest()
    yield "SHA3_384", hashlib.sha3_384(data).hexdigest()
    yield "SHA3_512", hashlib.sha3_512(data).hexdigest()
    yield "Blake2S", hashlib.blake2s(data, digest_size=32).hexdigest()
    yield "Blake2B", hashlib.blake2b(data, digest_size=64).hexdigest()
    yield "Blake3", first_word(["b3sum", "--no-names", path])
    yield "XXHash64", first_word(["xxhsum", "-H1", path])
    yield "MurmurHash3_x86", first_word(["perl", "-e", PERL_X86, path])
    yield "MurmurHash3_x64", first_word(["ruby", "-W0", "-e", RUBY_X64, path])


def main():
    out = sys.stdout
    with tempfile.TemporaryDirectory() as tmp:
        for name, data in inputs():
            path = os.path.join(tmp, "input.bin")
            with open(path, "wb") as f:
                f.write(data)
            for algo, text in answers(path, data):
                out.write(f"{name} {algo} {text.lower()}\n")


if __name__ == "__main__":
    main()
