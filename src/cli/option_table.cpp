#include "cli/option_table.h"

#include "cli/find_option.h"

namespace quorvid {

namespace {

using V = TOptionValues;
using S = RunSettings;

constexpr TOptionRow Row(std::string_view names, V values, TFindParamRec S::*field) {
  return {names, values, field, -1};
}
constexpr TOptionRow HashRow(std::string_view names, THashChoices choice) {
  return {names, V::None, nullptr, static_cast<int>(choice)};
}

constexpr std::array<TOptionRow, kOptionCount> kTable{{
    Row("  DEBUG DEBUG-MODE", V::None, &S::Debug),
    Row("  ERROR-DELAY", V::One, &S::ErrorDelay),  // the value is taken but never read
    Row("  AUDIBLE-ERROR", V::One, &S::AudibleError),
    Row("H HELP ? HELP2 H2 ??", V::None, &S::Help),
    Row("V VERBOSE BUILD HELP2 H2 ?? HELP3 H3 ???", V::None, &S::Verbose),
    Row("  HELP3 H3 ???", V::None, &S::Help3),
    Row("  VERSION-ONLY BUILD-ONLY VERSION", V::None, &S::VersionOnly),
    Row("  INFO", V::None, &S::Info),
    Row("B BANNER", V::None, &S::Banner),
    Row("C COUNT", V::None, &S::Count),
    Row("P PREFIX", V::None, &S::Prefix),
    Row("L LIST", V::None, &S::List),
    Row("D DIR", V::One, &S::Dir),
    Row("R RDIR", V::None, &S::RDir),
    Row("E EXC", V::One, &S::Exc),
    Row("O OUT", V::One, &S::Out),
    Row("A APPEND", V::None, &S::Append),
    Row("T TEE", V::None, &S::Tee),
    Row("F FSUM", V::None, &S::FSum),
    Row("S SIMPLE", V::None, &S::Simple),
    Row("W SHOWZERO", V::None, &S::ShowZero),
    Row("I HIDEPATH", V::None, &S::HidePath),
    Row("# SHOWDATE", V::None, &S::ShowDate),
    Row("  BD BEFORE-THIS-DATE", V::One, &S::BeforeThisDate),
    Row("  AD AFTER-THIS-DATE", V::One, &S::AfterThisDate),
    Row("  OLDER OLDER-THAN", V::Older, &S::OlderThan),
    Row("  NEWER NEWER-THAN", V::Newer, &S::NewerThan),
    Row("$ EXIT-ON-BAD-DATE", V::None, &S::ExitOnBadDate),
    Row("Z SIZE", V::None, &S::Size),
    Row("M MAX MAXSIZE", V::MaxSize, &S::MaxSize),
    Row("U SUMMARY", V::One, &S::Summary),
    Row("K COMPARE", V::Two, &S::Compare),
    Row("G GENERATE-LIST", V::One, &S::GenerateList),
    Row("X CHECK VALIDATE", V::Two, &S::Check),
    Row("Y VERIFY", V::Two, &S::Verify),
    Row("  VM VERIFY-MANY", V::Two, &S::VerifyMany),
    Row("  HL HASH-LOOKUP", V::One, &S::HashLookup),
    Row("J JUST-HASH", V::None, &S::JustHash),
    Row("  CP CODEPAGE", V::CodePage, &S::CodePage),
    Row("  DF DATEFORMAT", V::One, &S::DateFormat),
    Row("  PT PLAINTEXT", V::None, &S::PlainText),
    Row("  VH VALID-HASHES", V::None, &S::ValidHashes),
    Row("  NB NO-BLANK-DIR", V::None, &S::NoBlankDir),
    Row("  LM LEGACY-MODE", V::None, &S::LegacyMode),
    Row("  SM SHOW-MATCHED", V::None, &S::ShowMatched),
    Row("  HM HIDE-MATCHES", V::None, &S::HideMatches),
    Row("  E64 ENCODE64", V::One, &S::Encode64),
    Row("  D64 DECODE64", V::One, &S::Decode64),
    Row("  FILE USE-FILE", V::None, &S::UseFile),
    Row("  URL USE-URL", V::One, &S::UseUrl),
    Row("@ ALL", V::None, &S::All),
    HashRow("N NONE NOHASH", THashChoices::None),
    HashRow("5 MD5", THashChoices::MD5),
    HashRow("1 SHA1", THashChoices::SHA1),
    HashRow("2 SHA2 SHA256 SHA2_256", THashChoices::SHA2_256),
    HashRow("  384  SHA384 SHA2_384", THashChoices::SHA2_384),
    HashRow("  512  SHA512 SHA2_512", THashChoices::SHA2_512),
    HashRow("3 SHA3        SHA3_256", THashChoices::SHA3_256),
    HashRow("              SHA3_384", THashChoices::SHA3_384),
    HashRow("              SHA3_512", THashChoices::SHA3_512),
    HashRow("  BLK2 BLAKE2S BLAKE2", THashChoices::Blake2S),
    HashRow("       BLAKE2B", THashChoices::Blake2B),
    HashRow("  BLK3 BLAKE3", THashChoices::Blake3),
    HashRow("  XX64 XXHASH64", THashChoices::XXHash64),
    HashRow("  MH3 MURMURHASH3_x86 MURMURHASH3_x86_128 MURMURHASH3 MURMURHASH3_128",
            THashChoices::MurmurHash3_x86),
    HashRow("      MURMURHASH3_x64 MURMURHASH3_x64_128", THashChoices::MurmurHash3_x64),
    // Added on top of the product's list: searched last, so it takes no
    // argument away from the options above.
    Row("  PROGRESS", V::None, &S::Progress),
}};

int ValueCount(V values) {
  switch (values) {
    case V::None: return 0;
    case V::Two: return 2;
    default: return 1;
  }
}

}  // namespace

const std::array<TOptionRow, kOptionCount>& OptionTable() { return kTable; }

TFindParamRec& OptionRecord(RunSettings& settings, const TOptionRow& row) {
  if (row.Field) return settings.*row.Field;
  return settings.HashOption[static_cast<size_t>(row.HashIndex)];
}

void ParseCommandLine(RunSettings& settings) {
  for (const TOptionRow& row : kTable) {
    TFindParamRec& rec = OptionRecord(settings, row);
    FindOption(settings.Args, row.Names, ValueCount(row.Values), rec, settings.KnownNames);
    switch (row.Values) {
      case V::Older:
        settings.OlderThanDays = static_cast<int32_t>(ConvertNumericOption(rec, 0, true, 0, 50000));
        break;
      case V::Newer:
        settings.NewerThanDays = static_cast<int32_t>(ConvertNumericOption(rec, 0, true, 0, 50000));
        break;
      case V::MaxSize:
        settings.MaxSizeBytes = ConvertNumericOption(rec, 4294967295LL, false, 0, 0);
        break;
      case V::CodePage:
        settings.CodePageId = static_cast<uint16_t>(ConvertNumericOption(rec, 65001, true, 1, 65535));
        break;
      default:
        break;
    }
  }
}

}  // namespace quorvid
