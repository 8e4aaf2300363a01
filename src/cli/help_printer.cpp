#include "cli/help_printer.h"

#include <array>

#include "cli/help_extended.h"
#include "platform/console.h"

namespace quorvid {

namespace {

// The summary of every form the command line takes; "" marks an empty line.
constexpr std::array<std::string_view, 15> kSummary{{
    "[hash(es)]    [options]    [-l|--list] <items_to_be_hashed>",
    "[hash(es)|-n] [options]    <-d|--dir> [drive_path] [wildcards_to_hash]",
    "[hash(es)]    [options]    <-k|--compare> <file1> <file2>",
    "[hash]        [options]    <-g|--generate-list> <file_list> <[-r] -d|--dir> [drive_path] "
    "[wildcards_to_hash]",
    "              [options]    <-x|--check> <file_list> [drive_path]",
    "[hash(es)]    [options]    <-y|--verify> <file> <hash|hash_list|URL>",
    "[hash(es)]    [options]  <--vm|--verify-many> <file_list> [drive_path]",
    "[hash(es)]    [options]  <--hl|--hash-lookup> <hash|hash_list|URL> <[-r] -d|--dir> "
    "[drive_path] [wildcards_to_hash]",
    "                        <--url|--use-url> <URL>",
    "              [options] <--e64|--encode64> <text|file>",
    "              [options] <--d64|--decode64> <text|file>",
    "",
    "<-h|-?|--h2|--?\?|--h3|--?\?\?> [-v]",
    "<--Info|--Version-Only|--Valid-Hashes>",
    "",
}};

constexpr std::string_view kHelpLine = "<-h|-?|--h2|--?\?|--h3|--?\?\?> [-v]";
constexpr std::string_view kInfoLine = "<--Info|--Version-Only|--Valid-Hashes>";

struct TSyntaxPair {
  std::string_view Title;
  std::string_view Detail;
};

struct TModeBlock {
  int32_t Bit;
  std::array<TSyntaxPair, 3> Pairs;  // unused pairs stay empty
};

constexpr std::string_view kAllHashes =
    "[--mh3][--xx64][--blk3][--blk2][--sha3][--sha2][--sha1][--md5][--all]";

// Detail lines start with the algorithm options; they are joined at run time
// from these pieces, so the long option list is written once.
constexpr std::array<TModeBlock, 11> kBlocks{{
    {help_section::List,
     {{{"[hash(es)] [options] [-l|--list] <items_to_be_hashed>",
        " [-v] [-b] [--cp] [--lm] [-c] [-z] [-s] [-p] [-i] [-#] [--pt] [-j] [-u [X:\\SummaryFile]] "
        "[-o <X:\\OutputFile> [-a] [-t]] [-l] <filename|text> [filename|text] ..."}}}},
    {help_section::Directory,
     {{{"[hash(es)|-n] [options] <-d|--dir> [drive_path] [wildcards_to_hash]",
        " [--cp] [-n [--df <\"valid_datetime\">]] [[--bd <\"mm/dd/yyyy\">] [--ad <\"mm/dd/yyyy\">]|"
        "[[--older <days_ago>] [--newer] <days_ago>]]] [-v] [-b] [--lm] [-c] [-z] [-s] [-#] "
        "[-m <size_in_bytes>] [-i] [-p] [-w] [-f] [-j] [-u [X:\\SummaryFile]] "
        "[-o <X:\\OutputFile> [-a] [-t]] [-e <X:\\ExceptionList>] <[--nb] [-r] -d "
        "[X:\\folder_to_search]> [wildcard] [wildcard] ..."}}}},
    {help_section::Compare,
     {{{"[hash(es)] [options] <-k|--compare> <file1> <file2>",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] "
        "[-k <X:\\FirstFile> <X:\\SecondFile>]"}}}},
    {help_section::Generate,
     {{{"[hash] [options] <-g|--generate-list> <file_list> <-d|--dir> [drive_path] "
        "[wildcards_to_hash]",
        "[--mh3|--xx64|--blk3|--blk2|--sha3|--sha2|--sha1|--md5] [-v] [-b] [--cp] [--lm] "
        "[-e <X:\\ExceptionList>] <-g <X:\\Checksum_File>> <[--nb] [-r] -d "
        "[X:\\folder_to_search]> [wildcard] [wildcard] ..."}}}},
    {help_section::Check,
     {{{"[options] <-x|--check> <file_list> [drive_path]",
        "[-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] [--sm] [--hm] "
        "<-x <X:\\Checksum_File> [Y:\\SourceFolder]]"}}}},
    {help_section::Verify,
     {{{"[hash(es)] [options] <-y|--verify> <file> <hash>",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] <-y <X:\\File_To_Validate> "
        "<hash>>"},
       {"[hash(es)] [options] <-y|--verify> <file> <hash_list>",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] <-y <X:\\File_To_Validate> "
        "<X:\\Checksum_File>>"},
       {"[hash(es)] [options] <-y|--verify> <file> <hash_url>",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] <-y <X:\\File_To_Validate> "
        "<\"https://some.url\">>"}}}},
    {help_section::VerifyMany,
     {{{"[hash(es)] [options] <--vm|--verify-many> <file_list> [drive_path]",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] <--vm <X:\\Checksum_File> "
        "[Y:\\folder_to_search]>"}}}},
    {help_section::HashLookup,
     {{{"[hash(es)] [options] <--hl|--hash-lookup> <hash> <-d|--dir> [drive_path] "
        "[wildcards_to_hash]",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] <--hl <hash>> <[--nb] [-r] -d "
        "[X:\\folder_to_search]> [wildcard] [wildcard] ..."},
       {"[hash(es)] [options] <--hl|--hash-lookup> <hash_list> <-d|--dir> [drive_path] "
        "[wildcards_to_hash]",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] <--hl <X:\\Checksum_File>> "
        "<[--nb] [-r] -d [X:\\folder_to_search]> [wildcard] [wildcard] ..."},
       {"[hash(es)] [options] <--hl|--hash-lookup> <hash_url> <-d|--dir> [drive_path] "
        "[wildcards_to_hash]",
        " [-v] [-b] [--cp] [--lm] [-o <X:\\OutputFile> [-a] [-t]] <--hl <\"https://some.url\">> "
        "<[--nb] [-r] -d [X:\\folder_to_search]> [wildcard] [wildcard] ..."}}}},
    {help_section::Url,
     {{{"[options] <--url|--use-url> <hash_url>",
        "[-v] [-b] [-o <X:\\OutputFile> [-a] [-t]] <--url <\"https://some.url\">>"}}}},
    {help_section::Encode,
     {{{"[options] <--e64|--encode64> <text|file>",
        "[-v] [-b] [--cp] [-o <X:\\OutputFile> [-a] [-t]] <[--file] --e64 <text|file>>"}}}},
    {help_section::Decode,
     {{{"[options] <--d64|--decode64> <text|file>",
        "[-v] [-b] [--cp] [-o <X:\\OutputFile> [-a] [-t]] <[--file] --d64 <text|file>>"}}}},
}};

// Detail lines that begin with a space continue the full algorithm option list.
std::string DetailText(std::string_view detail) {
  if (!detail.empty() && detail.front() == ' ') return std::string(kAllHashes) + std::string(detail);
  return std::string(detail);
}

}  // namespace

std::string HeadingText(std::string_view heading) {
  std::string rule(heading.size(), '-');
  return rule + "\n" + std::string(heading) + "\n" + rule + "\n";
}

std::string SyntaxLine(const RunSettings& settings, std::string_view text) {
  return " " + settings.ProgramName + " " + std::string(text) + "\n";
}

std::string HelpText(const RunSettings& settings, bool syntaxErrorForm) {
  const int32_t sections = settings.HelpSections;
  const bool summary = (sections & help_section::General) != 0;
  const bool everything = (sections & help_section::Everything) != 0;
  std::string out = HeadingText("CMD SYNTAX:");

  if (summary)
    for (std::string_view line : kSummary) out += line.empty() ? "\n" : SyntaxLine(settings, line);

  for (const TModeBlock& block : kBlocks) {
    if (!everything && (sections & block.Bit) == 0) continue;
    for (const TSyntaxPair& pair : block.Pairs) {
      if (pair.Title.empty()) break;
      out += SyntaxLine(settings, pair.Title);
      out += SyntaxLine(settings, DetailText(pair.Detail));
      out += "\n";
    }
  }

  if (!summary) {
    out += SyntaxLine(settings, kHelpLine);
    out += SyntaxLine(settings, kInfoLine);
    out += "\n";
  }

  if (syntaxErrorForm || summary) {
    const std::string& n = settings.ProgramName;
    out += "For more details, please type: " + n + " -?  OR  " + n + " --??  OR  " + n + " --???\n";
    return out;
  }
  if (everything) AppendExtendedHelp(settings, out);
  return out;
}

void PrintHelp(const RunSettings& settings, bool syntaxErrorForm) {
  platform::WriteStdErr(HelpText(settings, syntaxErrorForm));
}

}  // namespace quorvid
