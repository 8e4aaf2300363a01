// Reading a whole file into memory (list files, exclusion lists).
#pragma once

#include <string>

namespace quorvid::platform {

/// Reads every byte of `path` into `bytes`. Returns false and fills
/// `errorText` when the file cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& errorText);

}  // namespace quorvid::platform
