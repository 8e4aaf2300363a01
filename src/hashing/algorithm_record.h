// The description of one algorithm: widths, names, labels and its hash object.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "hashing/hash_choices.h"

namespace quorvid {

class IHash;  // hashing/hasher.h

struct THashAlgorithmRec {
  THashChoices Choice = THashChoices::None;
  bool IsRealHash = false;
  int32_t HashLength = 0;
  int32_t PrefixWidth = 0;
  std::shared_ptr<IHash> Hasher;  // empty until CreateHashers
  std::string LineLabel;
  std::string FsumLabel;
  std::string Prefix;
  std::string PrefixName;
  std::string DisplayName;  // "MD5" ... "MurmurHash3_x64_128"
  std::string ListLabel;    // the label used with -g and -f
};

using THashChoicesArray = std::array<THashAlgorithmRec, kHashChoiceCount>;

}  // namespace quorvid
