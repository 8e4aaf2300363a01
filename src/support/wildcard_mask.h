// Wildcard masks for file names: "*", "?", bracketed sets, ranges and
// negated sets, compared without regard to case, one UTF-8 character at a
// time. Three compatibility rules keep old habits working: "*.*" and
// "name.*" also match names without an extension (DotStarRule), an empty
// mask means "*" (EmptyMaskRule), and "name." matches only names without an
// extension (TrailingDotRule).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvid {

/// Why a mask cannot be used. `message` is the whole text the program shows,
/// such as: Missing closing character "]" in mask (offset 4).
struct TMaskError {
  std::string message;
  std::string mask;    // the mask as it was given
  int32_t offset = 0;  // character position in the compiled pattern, counted from 1
};

/// One compiled mask.
class TWindowsMaskUTF8 {
 public:
  /// Compiles `mask`. An invalid mask matches nothing; error() tells why.
  explicit TWindowsMaskUTF8(std::string_view mask);

  /// True when the mask compiled.
  bool Valid() const { return !error_.has_value(); }
  /// The compile error, if any.
  const std::optional<TMaskError>& Error() const { return error_; }

  /// True when the bare file name `name` (UTF-8, no folder) matches.
  bool Matches(std::string_view name) const;

  bool DotStarRuleInUse() const { return dotStar_; }
  bool TrailingDotRuleInUse() const { return trailingDot_; }

  /// One step of the compiled pattern.
  struct Token {
    enum class Kind { Literal, AnyChar, AnyRun, Set };
    Kind kind = Kind::Literal;
    char32_t ch = 0;                                     // Literal
    bool negated = false;                                // Set
    std::vector<std::pair<char32_t, char32_t>> ranges;   // Set: inclusive ranges
  };

 private:
  bool MatchPattern(std::string_view name) const;

  std::vector<Token> tokens_;
  std::optional<TMaskError> error_;
  bool dotStar_ = false;
  bool trailingDot_ = false;
};

/// The masks of one mask string such as "*.EXE;*.DLL".
class TWindowsMaskList {
 public:
  /// Splits `maskString` at `separator` and compiles every piece; empty
  /// pieces are dropped. The first invalid mask's error is kept.
  explicit TWindowsMaskList(std::string_view maskString, char separator = ';');

  /// True when the string held no mask at all (empty, or separators only):
  /// every name matches then.
  bool Empty() const { return masks_.empty(); }
  /// True when every mask compiled.
  bool Valid() const { return !error_.has_value(); }
  /// The first compile error, if any.
  const std::optional<TMaskError>& Error() const { return error_; }

  /// True when `name` matches at least one mask, or the list is empty;
  /// false for every name when a mask is invalid.
  bool Matches(std::string_view name) const;

 private:
  std::vector<TWindowsMaskUTF8> masks_;
  std::optional<TMaskError> error_;
};

/// `text` with its letters lower-cased (ASCII, Latin-1, Latin Extended-A,
/// Greek and Cyrillic); bytes that are not valid UTF-8 are kept as they are.
std::string LowerCaseUtf8(std::string_view text);

}  // namespace quorvid
