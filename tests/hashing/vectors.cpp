#include "hashing/vectors.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "test_support.h"

namespace quorvid::test {

const char kUtf8Text[] = "Gr\xC3\xBC\xC3\x9F" "e, caf\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE2\x9C\x93";

THashChoices ChoiceNamed(const std::string& name) {
  static const std::array<const char*, kHashChoiceCount> names = {
      "None",     "MD5",      "SHA1",    "SHA2_256", "SHA2_384",        "SHA2_512",
      "SHA3_256", "SHA3_384", "SHA3_512", "Blake2S", "Blake2B",         "Blake3",
      "XXHash64", "MurmurHash3_x86",     "MurmurHash3_x64"};
  for (int m = 0; m < kHashChoiceCount; ++m)
    if (name == names[m]) return ChoiceAt(m);
  throw std::invalid_argument("unknown algorithm " + name);
}

std::string InputBytes(const std::string& input) {
  if (input == "empty") return "";
  if (input == "abc") return "abc";
  if (input == "utf8") return kUtf8Text;
  if (input.rfind("gen:", 0) == 0) {
    size_t n = std::stoul(input.substr(4));
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    return bytes;
  }
  throw std::invalid_argument("unknown input " + input);
}

std::vector<KnownAnswer> LoadKnownAnswers() {
  std::vector<KnownAnswer> answers;
  std::ifstream file(TestDataPath("hashing/vectors.txt"));
  EXPECT_TRUE(file.good()) << "vectors file missing";
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    std::string input, algorithm, text;
    if (!(fields >> input >> algorithm >> text)) continue;
    answers.push_back({input, ChoiceNamed(algorithm), text});
  }
  return answers;
}

}  // namespace quorvid::test
