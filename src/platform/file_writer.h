// Writing text files and standard output: the only place that opens files for writing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvid::platform {

/// Where written bytes go: standard output, or a file opened by OpenOutputTarget.
struct OutputTarget {
  intptr_t fd = -1;  // the system's descriptor or handle; -1 when none
  bool isStandardOutput = false;
};

/// CreateOrTruncateNoLink refuses a name that is a symbolic link (on Windows
/// any reparse point, junctions included), for files written at a fixed name
/// in a shared folder.
enum class WriteMode { CreateOrTruncate, Append, CreateOrTruncateNoLink };

/// The process's standard output. Bytes pass through the C library's own
/// buffer, so they keep their order with anything else printed there; they
/// are written as they are (no line-end translation on Windows).
OutputTarget StandardOutputTarget();

/// Opens `path` for writing: created or truncated, or positioned at its end
/// with WriteMode::Append (created when missing). Returns false and fills
/// `errorText` when the file cannot be opened.
bool OpenOutputTarget(const std::string& path, WriteMode mode, OutputTarget& target,
                      std::string& errorText);

/// Writes every byte of `bytes`. Returns false and fills `errorText` on failure
/// (disk full, device gone, closed pipe read end).
bool WriteToTarget(const OutputTarget& target, std::string_view bytes, std::string& errorText);

/// Pushes bytes still held by the C library to the device (standard output only;
/// files are written unbuffered here). Returns false and fills `errorText` on failure.
bool FlushTarget(const OutputTarget& target, std::string& errorText);

/// Closes a file; standard output is only flushed and stays open. The target is
/// unusable afterwards. Returns false and fills `errorText` on failure.
bool CloseTarget(OutputTarget& target, std::string& errorText);

}  // namespace quorvid::platform
