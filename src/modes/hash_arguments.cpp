#include "modes/hash_arguments.h"

#include <algorithm>
#include <cctype>

#include "hashing/algorithm_catalogue.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                        [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                        });
  return it != text.end();
}

}  // namespace

bool IsValidHashText(std::string_view text) {
  if (!IsDigestLength(text.size())) return false;
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

HashArgumentKind ClassifyHashArgument(const std::string& value) {
  if (ContainsNoCase(value, "http://") || ContainsNoCase(value, "https://"))
    return HashArgumentKind::Url;
  if (value.find_first_of(":\\/.") != std::string::npos)
    return platform::FileExists(value) ? HashArgumentKind::ListFile
                                       : HashArgumentKind::ListFileMissing;
  return IsValidHashText(value) ? HashArgumentKind::HashText : HashArgumentKind::InvalidHash;
}

}  // namespace quorvid
