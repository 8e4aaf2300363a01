#include "cli/find_option.h"

#include <algorithm>
#include <charconv>
#include <span>

namespace quorvid {

namespace {

constexpr size_t kMaxInlineValue = 999;

bool IsNameSeparator(char c) { return c == ' ' || c == ',' || c == ';'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// How `text` writes the option `word`: "-W" or "/W" for a one-character
// word, "/W", "-W" or "--W" for a longer one, alone or followed by '=' or
// ':' and a value. The length of the written form, or 0 when it does not.
size_t WrittenFormLength(std::string_view text, std::string_view word, bool& exact) {
  static constexpr std::string_view kShort[] = {"-", "/"};
  static constexpr std::string_view kLong[] = {"/", "-", "--"};
  const std::span<const std::string_view> prefixes =
      word.size() == 1 ? std::span<const std::string_view>(kShort) : kLong;
  for (std::string_view prefix : prefixes) {
    const size_t length = prefix.size() + word.size();
    if (text.size() < length || text.substr(0, prefix.size()) != prefix ||
        !SameText(text.substr(prefix.size(), word.size()), word))
      continue;
    exact = text.size() == length;
    if (exact || text[length] == '=' || text[length] == ':') return length;
  }
  return 0;
}

// True when `word` is one of the words of `names`; asked once per option
// name, so it splits nothing.
bool HasNameWord(std::string_view names, std::string_view word) {
  size_t start = 0;
  for (size_t i = 0; i <= names.size(); ++i) {
    if (i < names.size() && !IsNameSeparator(names[i])) continue;
    if (SameText(names.substr(start, i - start), word)) return true;
    start = i + 1;
  }
  return false;
}

void AppendKnownNames(const std::vector<std::string>& words, std::string& knownNames) {
  for (const auto& w : words) {
    if (HasNameWord(knownNames, w)) continue;
    if (!knownNames.empty()) knownNames += ' ';
    knownNames += w;
  }
}

// Takes the argument at `pos` as a value of the option at `optionPos`.
std::string TakeValue(TParamStatusArray& args, size_t optionPos, size_t pos) {
  if (pos >= args.size()) return "";
  TParamStatusRec& value = args[pos];
  if (value.Status == TParamStatus::Unrecognised || value.Status == TParamStatus::OptionValue) {
    value.Status = TParamStatus::OptionValue;
    value.IsValue = true;
  } else {
    // The value slot holds another option: this one lacks its value.
    args[optionPos].Status = TParamStatus::Incomplete;
  }
  return value.Text;
}

}  // namespace

std::vector<std::string> SplitNameWords(std::string_view names) {
  std::vector<std::string> words;
  std::string current;
  for (char c : names) {
    if (IsNameSeparator(c)) {
      if (!current.empty()) words.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) words.push_back(current);
  return words;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

TParamStatusArray MakeArgumentList(const std::vector<std::string>& args) {
  TParamStatusArray list(args.size());
  for (size_t i = 0; i < args.size(); ++i) list[i].Text = args[i];
  return list;
}

void FindOption(TParamStatusArray& args, std::string_view names, int valueCount,
                TFindParamRec& rec, std::string& knownNames) {
  const std::vector<std::string> words = SplitNameWords(names);
  AppendKnownNames(words, knownNames);
  rec = TFindParamRec{};

  for (size_t pos = 0; pos < args.size(); ++pos) {
    const std::string& text = args[pos].Text;
    for (const auto& word : words) {
      bool exact = false;
      const size_t formLength = WrittenFormLength(text, word, exact);
      if (formLength == 0) continue;
      TParamStatusRec& arg = args[pos];
      arg.Status = TParamStatus::Option;
      arg.Recognised = true;
      arg.Word = word;
      rec.Found = true;
      rec.ArgIndex = static_cast<int32_t>(pos);
      rec.NextArgIndex = static_cast<int32_t>(pos + 1);
      if (!exact) {
        rec.ArgText = text.substr(0, formLength);
        rec.Value1 = text.substr(formLength + 1, kMaxInlineValue);
        rec.HasInlineValue = true;
        arg.InlineForm = true;
        arg.IsValue = true;
        arg.Status = TParamStatus::OptionWithInlineValue;
        return;
      }
      rec.ArgText = text;
      if (valueCount >= 1) rec.Value1 = TakeValue(args, pos, pos + 1);
      if (valueCount >= 2) rec.Value2 = TakeValue(args, pos, pos + 2);
      return;
    }
  }
}

std::optional<int64_t> ParseOptionNumber(std::string_view text) {
  text = text.substr(0, text.find('.'));
  std::string digits;
  for (char c : text)
    if (c != ',') digits += c;
  size_t start = (!digits.empty() && digits[0] == '+') ? 1 : 0;
  if (start == digits.size()) return std::nullopt;
  int64_t value = 0;
  const char* first = digits.data() + start;
  const char* last = digits.data() + digits.size();
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last) return std::nullopt;
  return value;
}

int64_t ConvertNumericOption(TFindParamRec& rec, int64_t defaultValue, bool ranged,
                             int64_t minValue, int64_t maxValue) {
  std::optional<int64_t> parsed = ParseOptionNumber(rec.Value1);
  int64_t value = parsed.value_or(defaultValue);
  bool clamped = false;
  if (ranged) {
    // Compared as unsigned numbers: a negative value is larger than any maximum.
    auto u = static_cast<uint64_t>(value);
    if (u < static_cast<uint64_t>(minValue)) {
      value = minValue;
      clamped = true;
    } else if (u > static_cast<uint64_t>(maxValue)) {
      value = maxValue;
      clamped = true;
    }
  }
  rec.IsDefaulted = value == defaultValue || clamped;
  rec.Value1 = std::to_string(value);
  return value;
}

}  // namespace quorvid
