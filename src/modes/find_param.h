// The result of one option search over the argument list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvid {

struct TFindParamRec {
  bool IsDefaulted = false;
  bool Found = false;
  bool HasInlineValue = false;
  int32_t ArgIndex = -1;
  int32_t NextArgIndex = -1;
  std::string ArgText;
  std::string Value1;
  std::string Value2;
};

enum class TParamStatus : int32_t {
  Unrecognised = 0,
  Option = 2,
  OptionValue = 3,
  OptionWithInlineValue = 4,
  Incomplete = 5,
};

struct TParamStatusRec {
  TParamStatus Status = TParamStatus::Unrecognised;
  bool Recognised = false;
  bool IsValue = false;
  bool InlineForm = false;
  std::string Text;
  std::string Word;  // the option name word that matched it ("" when none did)
};

using TParamStatusArray = std::vector<TParamStatusRec>;

}  // namespace quorvid
