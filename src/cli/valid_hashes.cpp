#include "cli/valid_hashes.h"

#include "platform/console.h"

namespace quorvid {

std::string ValidHashesText(bool includeNone) {
  std::string text = " * Here is the full list of valid hash algorithm parameters:\n";
  if (includeNone) text += "   * NONE .................. --NOHASH,    -N\n";
  text +=
      "   * MD5 ................... --MD5,       -5\n"
      "   * SHA1 .................. --SHA1,      -1\n"
      "   * SHA2_256 .............. --SHA2_256,  -2,   --SHA2, --SHA256\n"
      "   * SHA2_384 .............. --SHA2_384,                --SHA384\n"
      "   * SHA2_512 .............. --SHA2_512,                --SHA512\n"
      "   * SHA3_256 .............. --SHA3_256,  -3,   --SHA3\n"
      "   * SHA3_384 .............. --SHA3_384\n"
      "   * SHA3_512 .............. --SHA3_512\n"
      "   * Blake2S ............... --BLAKE2S,         --BLK2, --BLAKE2\n"
      "   * Blake2B ............... --BLAKE2B\n"
      "   * Blake3 ................ --BLAKE3,          --BLK3\n"
      "   * XXHash64 .............. --XXHASH64,        --XX64\n"
      "   * MurmurHash3_x86_128 ... --MURMURHASH3_X86, --MURMURHASH3_X86_128, "
      "--MURMURHASH3_128, --MURMURHASH3, --MH3\n"
      "   * MurmurHash3_x64_128 ... --MURMURHASH3_X64, --MURMURHASH3_X64_128\n"
      "\n";
  return text;
}

std::string ValidHashesModeText() {
  return ValidHashesText(false) +
         " UNIQUE LIST ..... MD5, SHA1, SHA2_256, SHA2_384, SHA2_512, SHA3_256, SHA3_384, "
         "SHA3_512, BLAKE2S, BLAKE2B, BLAKE3, XXHASH64, MURMURHASH3_X86, MURMURHASH3_X64 \n"
         "\n"
         " COMPLETE LIST ... MD5, SHA1, SHA2, SHA256, SHA2_256, SHA384, SHA2_384, SHA512, "
         "SHA2_512, SHA3, SHA3_256, SHA3_384, SHA3_512, BLK2, BLAKE2, BLAKE2S, BLAKE2B, BLK3, "
         "BLAKE3, XX64, XXHASH64, MH3, MURMURHASH3, MURMURHASH3_X86, MURMURHASH3_X64 \n";
}

bool PrintValidHashes(bool includeNone) {
  return platform::WriteStdOut(ValidHashesText(includeNone));
}

}  // namespace quorvid
