#include "support/wildcard_mask.h"

namespace quorvid {
namespace {

// A byte that is not part of valid UTF-8 becomes a value outside Unicode, so
// it still counts as one character and never equals a real one.
constexpr char32_t kRawByteBase = 0x110000;

std::vector<char32_t> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      length = 1;
      cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      cp = lead & 0x07;
    }
    bool valid = length > 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values above U+10FFFF are not characters.
    if (valid && ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                  (cp >= 0xD800 && cp <= 0xDFFF)))
      valid = false;
    if (!valid) {
      out.push_back(kRawByteBase + lead);
      ++i;
    } else {
      out.push_back(cp);
      i += length;
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp >= kRawByteBase) {
    out += static_cast<char>(cp - kRawByteBase);
  } else if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Simple one-to-one lower-casing of the scripts file names commonly use; the
// same table serves masks and names, so both sides always agree.
char32_t LowerChar(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;  // Latin-1, except the multiplication sign
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130) return U'i';
    if (c == 0x178) return 0xFF;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
      return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c % 2 == 0) ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek capitals
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic capitals
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;                // Cyrillic capitals with marks
  return c;
}

// Position of the last "." that splits an extension off; a dot in the first
// position starts a hidden name and does not count.
std::optional<size_t> ExtensionDot(const std::vector<char32_t>& name) {
  for (size_t i = name.size(); i > 1; --i)
    if (name[i - 1] == U'.') return i - 1;
  return std::nullopt;
}

std::string CharText(char32_t cp) {
  std::string text;
  AppendUtf8(text, cp);
  return text;
}

TMaskError MakeError(std::string_view mask, const char* format, char32_t what, size_t offset) {
  TMaskError error;
  error.mask = std::string(mask);
  error.offset = static_cast<int32_t>(offset);
  // A NUL cannot be printed; it is shown by its code.
  std::string shown = what == 0 ? std::string("#0") : CharText(what);
  error.message = std::string(format) + " \"" + shown + "\" in mask (offset " +
                  std::to_string(offset) + ").";
  return error;
}

constexpr const char* kMissingClose = "Missing closing character";
constexpr const char* kInvalidChar = "Invalid character";

}  // namespace

std::string LowerCaseUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t cp : DecodeUtf8(text)) AppendUtf8(out, LowerChar(cp));
  return out;
}

TWindowsMaskUTF8::TWindowsMaskUTF8(std::string_view mask) {
  std::vector<char32_t> chars = DecodeUtf8(mask);
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == 0) {
      error_ = MakeError(mask, kInvalidChar, 0, i + 1);
      return;
    }
  }

  if (chars.size() > 2 && chars[chars.size() - 2] == U'.' && chars.back() == U'*') {
    chars.resize(chars.size() - 2);
    dotStar_ = true;
  }
  size_t dot = chars.size();
  for (size_t i = chars.size(); i > 0; --i) {
    if (chars[i - 1] == U'.') {
      dot = i - 1;
      break;
    }
  }
  if (chars.empty()) chars = {U'*'};
  if (dot + 1 == chars.size() && chars[dot] == U'.') {
    chars.pop_back();
    trailingDot_ = true;
  }
  for (char32_t& c : chars) c = LowerChar(c);

  const size_t n = chars.size();
  size_t i = 0;
  while (i < n) {
    Token token;
    char32_t c = chars[i];
    if (c == U'*') {
      token.kind = Token::Kind::AnyRun;
      ++i;
      // Several stars in a row take no more than one.
      if (!tokens_.empty() && tokens_.back().kind == Token::Kind::AnyRun) continue;
    } else if (c == U'?') {
      token.kind = Token::Kind::AnyChar;
      ++i;
    } else if (c == U'[') {
      token.kind = Token::Kind::Set;
      size_t j = i + 1;
      if (j < n && chars[j] == U'!') {
        token.negated = true;
        ++j;
      }
      if (j < n && chars[j] == U']') {
        tokens_.clear();
        error_ = MakeError(mask, kInvalidChar, U']', j + 1);
        return;
      }
      bool closed = false;
      while (j < n) {
        if (chars[j] == U']') {
          closed = true;
          ++j;
          break;
        }
        if (j + 2 < n && chars[j + 1] == U'-' && chars[j + 2] != U']') {
          token.ranges.emplace_back(chars[j], chars[j + 2]);
          j += 3;
        } else {
          token.ranges.emplace_back(chars[j], chars[j]);
          ++j;
        }
      }
      if (!closed) {
        tokens_.clear();
        error_ = MakeError(mask, kMissingClose, U']', n);
        return;
      }
      i = j;
    } else {
      token.ch = c;
      ++i;
    }
    tokens_.push_back(std::move(token));
  }
}

bool TWindowsMaskUTF8::Matches(std::string_view name) const {
  if (error_) return false;
  if (!trailingDot_ && !dotStar_) return MatchPattern(name);

  std::vector<char32_t> chars = DecodeUtf8(name);
  std::optional<size_t> dot = ExtensionDot(chars);
  if (!dot) return MatchPattern(name);
  std::string stem;
  for (size_t i = 0; i < *dot; ++i) AppendUtf8(stem, chars[i]);
  // "name." asks for no extension. A POSIX name may itself end in a dot; it
  // has no extension either, and is matched without that dot.
  if (trailingDot_ && *dot + 1 != chars.size()) return false;
  return MatchPattern(stem);
}

bool TWindowsMaskUTF8::MatchPattern(std::string_view nameText) const {
  std::vector<char32_t> name = DecodeUtf8(nameText);
  for (char32_t& c : name) c = LowerChar(c);

  auto takes = [](const Token& token, char32_t c) {
    switch (token.kind) {
      case Token::Kind::Literal:
        return token.ch == c;
      case Token::Kind::AnyChar:
        return true;
      case Token::Kind::Set: {
        bool inSet = false;
        for (const auto& [low, high] : token.ranges)
          if (c >= low && c <= high) inSet = true;
        return inSet != token.negated;
      }
      case Token::Kind::AnyRun:
        break;
    }
    return false;
  };

  // Left to right; on a mismatch the last star takes one more character.
  // Every other token takes exactly one character, so this never misses a match.
  size_t t = 0, n = 0;
  std::optional<size_t> starToken;
  size_t starName = 0;
  while (n < name.size()) {
    if (t < tokens_.size() && tokens_[t].kind == Token::Kind::AnyRun) {
      starToken = t++;
      starName = n;
    } else if (t < tokens_.size() && takes(tokens_[t], name[n])) {
      ++t;
      ++n;
    } else if (starToken) {
      t = *starToken + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (t < tokens_.size() && tokens_[t].kind == Token::Kind::AnyRun) ++t;
  return t == tokens_.size();
}

TWindowsMaskList::TWindowsMaskList(std::string_view maskString, char separator) {
  size_t start = 0;
  while (start <= maskString.size()) {
    size_t end = maskString.find(separator, start);
    if (end == std::string_view::npos) end = maskString.size();
    std::string_view piece = maskString.substr(start, end - start);
    if (!piece.empty()) {
      masks_.emplace_back(piece);
      if (!error_ && !masks_.back().Valid()) error_ = masks_.back().Error();
    }
    start = end + 1;
  }
}

bool TWindowsMaskList::Matches(std::string_view name) const {
  if (error_) return false;
  if (masks_.empty()) return true;
  for (const auto& mask : masks_)
    if (mask.Matches(name)) return true;
  return false;
}

}  // namespace quorvid
