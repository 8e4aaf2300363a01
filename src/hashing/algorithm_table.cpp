#include "hashing/algorithm_table.h"

namespace quorvid {

void BuildAlgorithmTable(THashChoicesArray&) {}
bool SelectAlgorithms(RunSettings&) { return true; }
void CreateHashers(THashChoicesArray&) {}
THashChoices AlgorithmFromListName(const std::string&) { return THashChoices::SHA2_256; }
std::string SelectedNamesList(THashSet) { return ""; }

}  // namespace quorvid
