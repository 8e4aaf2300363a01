// The fixed texts of the extended and complete help, one block per section.
// Blocks hold whole lines separated by "\n"; "{name}", "{path}", "{file}",
// "{folder}", "{summary}" and "{locale date-time format}" are filled in when
// the help is printed.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvid::help_text {

/// Option definitions; the extended help leaves out the last three lines.
extern const std::string_view kOptionDefinitions;
inline constexpr int kCompleteOnlyDefinitions = 3;

/// The options added to the product's list, shown after its definitions in
/// the extended and complete help.
extern const std::string_view kAddedOptionDefinitions;

/// The syntax examples, each written after " {name} ", in order.
std::span<const std::string_view> SyntaxExamples();

extern const std::string_view kGeneralNotes;
extern const std::string_view kAppSpecificNotes;
extern const std::string_view kSupportedAlgorithms;
extern const std::string_view kHashSpecificNotes;
extern const std::string_view kFsumNotes;

/// One row of the exit-code table.
struct ExitCodeText {
  int32_t code;
  std::string_view wording;
};
std::span<const ExitCodeText> ExitCodeTexts();

extern const std::string_view kExitCodeIntroduction;
extern const std::string_view kExitCodeBitNotes;

}  // namespace quorvid::help_text
