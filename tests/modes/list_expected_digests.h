// Digests the list and compare tests expect, computed outside Quorvid
// (python3 hashlib; BLAKE3 and XXH64 of the empty message as published with
// those algorithms; MurmurHash3 of the empty message with seed 0 is all zero).
#pragma once

#include <string>

namespace quorvid::test::digest {

// "Quorvid list test\n" (18 bytes), the content of the test file data.txt.
inline const std::string kFileMd5 = "9a84b899c0c16122eca6c3e6ea5e94ae";
inline const std::string kFileSha1 = "4cafc9a7f2663e1aa5100e2d75e4fc273b828cf5";
inline const std::string kFileSha256 = "8d0478f531d96fc7cb07ee5a0a3faaa3b7c79cd3c4a1d959886f545d8bf45d5c";
inline const std::string kFileSha512 = "dd05e56ebd66e1eea5682dde08c57c15b138635d5bbd311929ec307ee3f30c8b6ab094a1226e4b10e0ef720d76e34d0a236085151cd89e5bb1e9b45fa14eb3b2";

// The text abc.
inline const std::string kAbcMd5 = "900150983cd24fb0d6963f7d28e17f72";
inline const std::string kAbcSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
inline const std::string kAbcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
inline const std::string kAbcSha512 = "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f";

// Two spaces.
inline const std::string kTwoSpacesSha256 = "6c179f21e6f62b629055d8ab40f454ed02e48b68563913473b857d3638e23b28";

// "same content\n" and "same contenT\n".
inline const std::string kSameSha256 = "f953bbd204bb867e48a6ff774cffa3dcffd02c6580e8f1d00c37dbbaa743d6c8";
inline const std::string kDiffSha256 = "1440eb52d3173ee81d1d664e7e4101705cf2c72f0398cf7c6cb7e3eae26521e0";
inline const std::string kSameMd5 = "4f784201526479699db75d69c7abad6d";
inline const std::string kDiffMd5 = "5e0e8c1515577ead9149fca531d71c24";

// The empty message, for every algorithm in catalogue order (MD5 first).
inline const std::string kEmpty[14] = {
    "d41d8cd98f00b204e9800998ecf8427e",
    "da39a3ee5e6b4b0d3255bfef95601890afd80709",
    "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
    "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd51ad2f14898b95b",
    "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e",
    "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a",
    "0c63a75b845e4f7d01107d852e4c2485c51a50aaaa94fc61995e71bbee983a2ac3713831264adb47fb6bd1e058d5f004",
    "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc1475c80a615b2123af1f5f94c11e3e9402c3ac558f500199d95b6d3e301758586281dcd26",
    "69217a3079908094e11121d042354a7c1f55b6482ca1a51e1b250dfd1ed0eef9",
    "786a02f742015903c6c6fd852552d272912f4740e15847618a86e217f71f5419d25e1031afee585313896444934eb04b903a685b1448b755d56f701afe9be2ce",
    "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262",
    "ef46db3751d8e999",
    "00000000000000000000000000000000",
    "00000000000000000000000000000000",
};

// Catalogue names as the prefix column shows them, in the same order.
inline const std::string kPrefixNames[14] = {
    "MD5: ",      "SHA1: ",    "SHA2_256: ", "SHA2_384: ", "SHA2_512: ",
    "SHA3_256: ", "SHA3_384: ", "SHA3_512: ", "Blake2S: ",  "Blake2B: ",
    "Blake3: ",   "XXHash64: ", "MurmurHash3_x86_128: ", "MurmurHash3_x64_128: ",
};

}  // namespace quorvid::test::digest
