#include "hashing/read_road.h"

#include <bit>
#include <cstdint>

#include "hashing/algorithm_catalogue.h"

namespace quorvid {

TReadRoad ChooseReadRoad(int64_t size, THashSet set, size_t width) {
  set &= kAllRealHashes;
  if (size >= 0 && size < static_cast<int64_t>(kSmallFileSize)) return TReadRoad::SmallFile;
  const bool lone = std::popcount(set) == 1;
  const THashChoices only = lone ? ChoiceAt(std::countr_zero(set)) : THashChoices::None;
  const bool known = size >= 0;
  if (set == 0 || width < 2 || (known && size <= static_cast<int64_t>(kRingPiece)))
    return TReadRoad::OneThread;
  if (lone && AlgorithmRow(only).splitsFile && known) return TReadRoad::Parts;
  if (lone && known && size < AlgorithmRow(only).ringPaysFrom) return TReadRoad::OneThread;
  return TReadRoad::Ring;
}

}  // namespace quorvid
