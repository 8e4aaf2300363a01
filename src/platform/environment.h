// What the program reads from its surroundings: environment variables, and where
// its own file lies.
#pragma once

#include <optional>
#include <string>

namespace quorvid::platform {

/// Value of the environment variable `name`; nullopt when it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& name);

/// Full path of the running program's file; "" when the system cannot say.
std::string ExecutablePath();

/// The folder for the program's own files such as the default summary,
/// without a trailing separator: TEMP when it is set and not empty; else, on
/// POSIX, TMPDIR or "/tmp", on Windows, the system's folder for temporary
/// files.
std::string TemporaryFolder();

}  // namespace quorvid::platform
