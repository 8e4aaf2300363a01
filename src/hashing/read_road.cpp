#include "hashing/read_road.h"

#include <bit>
#include <cstdint>

namespace quorvid {

double EstimatedCostPerByte(THashChoices choice) {
  switch (choice) {
    case THashChoices::MD5: return 5.0;
    case THashChoices::SHA1: return 1.6;
    case THashChoices::SHA2_256: return 2.0;
    case THashChoices::SHA2_384:
    case THashChoices::SHA2_512: return 5.0;
    case THashChoices::SHA3_256: return 7.5;
    case THashChoices::SHA3_384: return 9.5;
    case THashChoices::SHA3_512: return 13.5;
    case THashChoices::Blake2S: return 5.0;
    case THashChoices::Blake2B: return 3.3;
    case THashChoices::Blake3: return 0.7;
    case THashChoices::XXHash64: return 0.15;
    case THashChoices::MurmurHash3_x86: return 1.0;
    case THashChoices::MurmurHash3_x64: return 0.5;
    case THashChoices::None: break;
  }
  return 1.0;
}

bool SplitsFile(THashChoices choice) { return choice == THashChoices::Blake3; }

int64_t RingPaysFrom(THashChoices choice) {
  switch (choice) {
    case THashChoices::SHA1:
    case THashChoices::SHA2_256:
    case THashChoices::MurmurHash3_x86:
    case THashChoices::MurmurHash3_x64:
      return INT64_MAX;
    case THashChoices::XXHash64:
      return int64_t{32} << 20;
    default:
      return static_cast<int64_t>(kRingPiece);
  }
}

TReadRoad ChooseReadRoad(int64_t size, THashSet set, size_t width) {
  set &= kAllRealHashes;
  if (size >= 0 && size < static_cast<int64_t>(kSmallFileSize)) return TReadRoad::SmallFile;
  const bool lone = std::popcount(set) == 1;
  const THashChoices only = lone ? ChoiceAt(std::countr_zero(set)) : THashChoices::None;
  const bool known = size >= 0;
  if (set == 0 || width < 2 || (known && size <= static_cast<int64_t>(kRingPiece)))
    return TReadRoad::OneThread;
  if (lone && SplitsFile(only) && known) return TReadRoad::Parts;
  if (lone && known && size < RingPaysFrom(only)) return TReadRoad::OneThread;
  return TReadRoad::Ring;
}

}  // namespace quorvid
