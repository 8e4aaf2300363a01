// Known answers from tests/data/hashing/vectors.txt and the inputs they belong to.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hashing/hash_choices.h"

namespace quorvid::test {

struct KnownAnswer {
  std::string input;  // "empty", "abc", "utf8" or "gen:N"
  THashChoices choice;
  std::string text;   // lower-case hash text
};

/// Every line of the vectors file; fails the calling test when it is missing.
std::vector<KnownAnswer> LoadKnownAnswers();

/// The bytes of a named input, built the same way as the generator script.
std::string InputBytes(const std::string& input);

/// Member of THashChoices with this enumeration name ("SHA2_256" ...).
THashChoices ChoiceNamed(const std::string& name);

/// "Grüße, café — 日本語 ✓" as UTF-8.
extern const char kUtf8Text[];

}  // namespace quorvid::test
