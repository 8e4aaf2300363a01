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

}  // namespace quorvid::platform
