#include "hashing/algorithm_table.h"

#include <array>
#include <exception>

#include "cli/syntax_error.h"
#include "hashing/hasher.h"

namespace quorvid {
namespace {

struct CatalogueRow {
  const char* displayName;
  int32_t hashLength;
  const char* listLabel;  // nullptr: the member's own FsumLabel
};

// Indexed by THashChoices; `None` is 21 wide, the quoted date that replaces a hash.
constexpr std::array<CatalogueRow, kHashChoiceCount> kCatalogue = {{
    {"NOHASH", 21, nullptr},
    {"MD5", 32, " *"},
    {"SHA1", 40, nullptr},
    {"SHA2_256", 64, " ?SHA256*"},
    {"SHA2_384", 96, " ?SHA384*"},
    {"SHA2_512", 128, " ?SHA512*"},
    {"SHA3_256", 64, nullptr},
    {"SHA3_384", 96, nullptr},
    {"SHA3_512", 128, nullptr},
    {"Blake2S", 64, nullptr},
    {"Blake2B", 128, nullptr},
    {"Blake3", 64, nullptr},
    {"XXHash64", 16, nullptr},
    {"MurmurHash3_x86_128", 32, " ?MH3_X86*"},
    {"MurmurHash3_x64_128", 32, " ?MH3_X64*"},
}};

// Names a checksum list may use, after upper-casing; first match wins.
struct ListName {
  const char* name;
  THashChoices choice;
};
constexpr ListName kListNames[] = {
    {"NONE", THashChoices::None},
    {"MD5", THashChoices::MD5},
    {"SHA1", THashChoices::SHA1},
    {"SHA256", THashChoices::SHA2_256},
    {"SHA2_256", THashChoices::SHA2_256},
    {"SHA384", THashChoices::SHA2_384},
    {"SHA2_384", THashChoices::SHA2_384},
    {"SHA2_512", THashChoices::SHA2_512},
    {"SHA512", THashChoices::SHA2_512},
    {"SHA3_256", THashChoices::SHA3_256},
    {"SHA3_384", THashChoices::SHA3_384},
    {"SHA3_512", THashChoices::SHA3_512},
    {"BLK2", THashChoices::Blake2S},
    {"BLAKE2S", THashChoices::Blake2S},
    {"BLAKE2B", THashChoices::Blake2B},
    {"BLAKE3", THashChoices::Blake3},
    {"BLK3", THashChoices::Blake3},
    {"XX64", THashChoices::XXHash64},
    {"XXHASH64", THashChoices::XXHash64},
    {"MH3", THashChoices::MurmurHash3_x86},
    {"MH3_X86", THashChoices::MurmurHash3_x86},
    {"MURMURHASH3_X86", THashChoices::MurmurHash3_x86},
    {"MH3_X64", THashChoices::MurmurHash3_x64},
    {"MURMURHASH3_X64", THashChoices::MurmurHash3_x64},
};

// Algorithm words of the tag form "ALG (NAME) = HASH" other tools write,
// upper-cased with "_" read as "-".
constexpr ListName kTagNames[] = {
    {"MD5", THashChoices::MD5},           {"SHA1", THashChoices::SHA1},
    {"SHA256", THashChoices::SHA2_256},   {"SHA2-256", THashChoices::SHA2_256},
    {"SHA384", THashChoices::SHA2_384},   {"SHA2-384", THashChoices::SHA2_384},
    {"SHA512", THashChoices::SHA2_512},   {"SHA2-512", THashChoices::SHA2_512},
    {"SHA3-256", THashChoices::SHA3_256}, {"SHA3-384", THashChoices::SHA3_384},
    {"SHA3-512", THashChoices::SHA3_512}, {"BLAKE2S", THashChoices::Blake2S},
    {"BLAKE2B", THashChoices::Blake2B},   {"BLAKE3", THashChoices::Blake3},
    {"XXH64", THashChoices::XXHash64},
};

// The comma-list names, one per member (None never reaches the list).
constexpr std::array<const char*, kHashChoiceCount> kCommaNames = {
    "",         "MD5",      "SHA1",     "SHA2_256", "SHA2_384",        "SHA2_512",
    "SHA3_256", "SHA3_384", "SHA3_512", "Blake2S",  "Blake2B",         "Blake3",
    "XXHash64", "MurmurHash3_x86",      "MurmurHash3_x64"};

constexpr const char* kFileLabel = "  {File}  ";

// Raises the hash and prefix column widths to fit `rec`.
void Measure(RunSettings& settings, const THashAlgorithmRec& rec) {
  if (rec.HashLength > settings.MaxHashLength) settings.MaxHashLength = rec.HashLength;
  if (rec.PrefixWidth > settings.PrefixColumnWidth) settings.PrefixColumnWidth = rec.PrefixWidth;
}

void Select(RunSettings& settings, THashChoices choice) {
  THashAlgorithmRec& rec = settings.AlgorithmTable[static_cast<int>(choice)];
  settings.SelectedHashes |= HashBit(choice);
  ++settings.SelectedHashCount;
  rec.LineLabel = kFileLabel;
  Measure(settings, rec);
}

}  // namespace

void BuildAlgorithmTable(THashChoicesArray& table) {
  for (int m = 0; m < kHashChoiceCount; ++m) {
    const CatalogueRow& row = kCatalogue[m];
    THashAlgorithmRec& rec = table[m];
    rec.Choice = ChoiceAt(m);
    rec.IsRealHash = m != 0;
    rec.HashLength = row.hashLength;
    rec.DisplayName = row.displayName;
    rec.PrefixName = rec.DisplayName + ": ";
    rec.PrefixWidth = static_cast<int32_t>(rec.PrefixName.size());
    rec.FsumLabel = " ?" + rec.DisplayName + "*";
    rec.LineLabel = rec.FsumLabel;
    rec.ListLabel = row.listLabel != nullptr ? row.listLabel : rec.FsumLabel;
    rec.Prefix.clear();
    rec.Hasher.reset();
  }
}

bool SelectAlgorithms(RunSettings& settings) {
  THashChoicesArray& table = settings.AlgorithmTable;
  BuildAlgorithmTable(table);
  settings.SelectedHashes = 0;
  settings.SelectedHashCount = 0;
  settings.MaxHashLength = 0;
  settings.PrefixColumnWidth = 0;
  settings.SavedPrefixColumnWidth = 0;

  const bool noHash = settings.HashOption[static_cast<int>(THashChoices::None)].Found;
  if (noHash) {
    // --nohash wins over every other algorithm option and --all.
    Select(settings, THashChoices::None);
  } else {
    for (int m = 1; m < kHashChoiceCount; ++m)
      if (settings.HashOption[m].Found || settings.All.Found) Select(settings, ChoiceAt(m));
  }

  // Prefix pass, before the defaults below, so a default set never gets a
  // prefix column.
  for (int m = 0; m < kHashChoiceCount; ++m) {
    if (!InSet(settings.SelectedHashes, ChoiceAt(m))) continue;
    if (settings.SelectedHashCount > 1 || settings.Prefix.Found)
      table[m].Prefix = table[m].PrefixName;
    else
      settings.PrefixColumnWidth = 0;
  }
  settings.SavedPrefixColumnWidth = settings.PrefixColumnWidth;

  if (settings.GenerateList.Found && settings.SelectedHashCount > 1) {
    settings.HelpSections = help_section::Generate;
    SyntaxErrorExit(settings, 111,
                    "Invalid parameters provided: Only one hash algorithm can be used with -g");
    return false;
  }

  if (settings.SelectedHashCount == 0) {
    settings.SelectedHashes =
        HashBit(settings.Compare.Found ? THashChoices::Blake3 : THashChoices::SHA2_256);
    if (settings.Verify.Found || settings.VerifyMany.Found) settings.SelectedHashes = kAllRealHashes;
    // The column is as wide as the last member in processing order.
    for (int m = 1; m < kHashChoiceCount; ++m) {
      if (!InSet(settings.SelectedHashes, ChoiceAt(m))) continue;
      table[m].LineLabel = kFileLabel;
      settings.MaxHashLength = table[m].HashLength;
    }
    settings.PrefixColumnWidth = 0;
  } else if (settings.SelectedHashCount == 1) {
    settings.PrefixColumnWidth = 0;
  }

  if (!noHash) CreateHashers(table, settings.SelectedHashes);
  return true;
}

void CreateHashers(THashChoicesArray& table, THashSet set) {
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (table[m].Hasher || !InSet(set, ChoiceAt(m))) continue;
    try {
      table[m].Hasher = MakeHasher(ChoiceAt(m));
    } catch (const std::exception&) {
      // A crypto library built without this digest: the engine then reports
      // each computation of it as failed, with the placeholder text.
    }
  }
}

THashChoices AlgorithmFromListName(const std::string& name) {
  std::string upper = name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const ListName& entry : kListNames)
    if (upper == entry.name) return entry.choice;
  return THashChoices::SHA2_256;
}

THashChoices AlgorithmFromTagName(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '_') c = '-';
  }
  for (const ListName& entry : kTagNames)
    if (upper == entry.name) return entry.choice;
  return THashChoices::None;
}

std::string SelectedNamesList(THashSet set) {
  std::string list;
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (!InSet(set, ChoiceAt(m))) continue;
    if (!list.empty()) list += ',';
    list += kCommaNames[m];
  }
  return list;
}

}  // namespace quorvid
