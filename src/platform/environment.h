// What the program reads from its surroundings: environment variables, where
// its own file lies, and the locale's short date pattern.
#pragma once

#include <optional>
#include <string>

namespace quorvid::platform {

/// Value of the environment variable `name`; nullopt when it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& name);

/// Full path of the running program's file; "" when the system cannot say.
std::string ExecutablePath();

/// The user's locale short date pattern in the program's pattern language
/// ("mm/dd/yy" for the C locale); "mm/dd/yyyy" when the locale's pattern
/// uses something that language cannot express.
std::string LocaleShortDatePattern();

}  // namespace quorvid::platform
