// The wildcard mask compiler and matcher: any mask string, any file name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "support/wildcard_mask.h"

using namespace quorvid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 16 * 1024) return 0;
  fuzz::FuzzInput input(data, size);
  std::string_view masks = input.Text();
  std::string_view name = input.Rest();

  TWindowsMaskList list(masks);
  bool matched = list.Matches(name);
  if (!list.Valid() && matched) std::abort();  // an invalid list matches nothing
  if (list.Valid() && list.Empty() && !matched) std::abort();
  if (!list.Valid() && (list.Error()->message.empty())) std::abort();

  TWindowsMaskUTF8 one(masks);
  if (one.Valid()) {
    one.Matches(name);
    // Letter case never matters.
    if (one.Matches(name) != one.Matches(LowerCaseUtf8(name))) std::abort();
    if (!TWindowsMaskUTF8("*").Matches(name)) std::abort();
  }
  return 0;
}
