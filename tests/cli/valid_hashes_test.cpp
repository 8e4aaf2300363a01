#include "cli/valid_hashes.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/option_table.h"
#include "hashing/algorithm_catalogue.h"
#include "test_support.h"

namespace quorvid {
namespace {

TEST(ValidHashes, TheHelpCopyHasTheNoneLineAndEndsWithAnEmptyLine) {
  auto withNone = test::SplitLines(ValidHashesText(true));
  auto without = test::SplitLines(ValidHashesText(false));
  ASSERT_EQ(withNone.size(), without.size() + 1);
  EXPECT_EQ(withNone[1], "   * NONE .................. --NOHASH,    -N");
  EXPECT_EQ(withNone.back(), "");
  EXPECT_EQ(std::vector<std::string>(withNone.begin() + 2, withNone.end()),
            std::vector<std::string>(without.begin() + 1, without.end()));
  // The --vh output starts with the list without NONE.
  EXPECT_EQ(ValidHashesModeText().rfind(ValidHashesText(false), 0), 0u);
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::vector<std::string> Words(std::string_view text, const char* separators) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (std::string_view(separators).find(c) != std::string_view::npos) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// The option names of each algorithm's row, upper-cased, by member.
std::vector<std::vector<std::string>> OptionNamesByMember() {
  std::vector<std::vector<std::string>> names(kHashChoiceCount);
  for (const TOptionRow& row : OptionTable()) {
    if (row.HashIndex < 0) continue;
    for (const std::string& word : Words(row.Names, " ")) names[row.HashIndex].push_back(Upper(word));
  }
  return names;
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), Upper(name)) != names.end();
}

// The option rows and the --vh text are the product's own words, kept as
// they stand; the catalogue's rows must agree with them.
TEST(ValidHashes, CatalogueOptionRowsAndListAgree) {
  const auto options = OptionNamesByMember();
  int hashRows = 0;
  for (const TOptionRow& row : OptionTable()) {
    if (row.HashIndex < 0) continue;
    EXPECT_EQ(row.HashIndex, hashRows++) << row.Names;
  }
  EXPECT_EQ(hashRows, kHashChoiceCount);
  for (const TAlgorithmRow& row : AlgorithmCatalogue())
    EXPECT_TRUE(Has(options[static_cast<int>(row.member)], std::string(row.displayName)))
        << row.displayName;

  // One line per member in catalogue order, its name the display name
  // ("NONE" for --nohash), every option on it one of the member's names.
  const auto lines = test::SplitLines(ValidHashesText(true));
  ASSERT_EQ(lines.size(), static_cast<size_t>(kHashChoiceCount) + 2);
  for (int m = 0; m < kHashChoiceCount; ++m) {
    const auto words = Words(lines[m + 1], " *.,");
    ASSERT_GE(words.size(), 2u) << lines[m + 1];
    EXPECT_EQ(words[0], m == 0 ? std::string("NONE") : std::string(AlgorithmRow(ChoiceAt(m)).displayName));
    for (size_t w = 1; w < words.size(); ++w)
      EXPECT_TRUE(Has(options[m], words[w].substr(words[w].find_first_not_of('-'))))
          << words[w] << " in " << lines[m + 1];
  }

  // UNIQUE LIST: the comma names; COMPLETE LIST: option names, in member order.
  const std::string mode = ValidHashesModeText();
  const size_t unique = mode.find(" UNIQUE LIST ..... ");
  const size_t complete = mode.find(" COMPLETE LIST ... ");
  ASSERT_NE(unique, std::string::npos);
  ASSERT_NE(complete, std::string::npos);
  const auto uniqueWords = Words(mode.substr(unique + 19, mode.find('\n', unique) - unique - 19), ", ");
  std::vector<std::string> commaNames;
  for (const TAlgorithmRow& row : AlgorithmCatalogue())
    if (row.member != THashChoices::None) commaNames.push_back(Upper(std::string(row.commaName)));
  EXPECT_EQ(uniqueWords, commaNames);
  int member = 1;
  for (const std::string& word : Words(mode.substr(complete + 19), ", \n")) {
    while (member < kHashChoiceCount && !Has(options[member], word)) ++member;
    EXPECT_LT(member, kHashChoiceCount) << word << " is no option name, or out of order";
  }
}

}  // namespace
}  // namespace quorvid
