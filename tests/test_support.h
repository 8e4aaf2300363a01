// Helpers shared by the tests: running the real binary, scratch folders, files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvid::test {

struct RunResult {
  int exitCode = -1;  // exit status, or on POSIX 128 + signal number
  std::string out;    // standard output
  std::string err;    // standard error
};

struct RunOptions {
  std::string workDir;                 // "" keeps the current folder
  std::vector<std::string> extraEnv;   // "NAME=value" added to (or replacing) the environment
  std::string stdinText;               // fed to standard input (closed afterwards)
};

/// Runs the quorvid binary with `args`, with TZ=UTC (and on POSIX LC_ALL=C)
/// unless `options.extraEnv` overrides them.
RunResult RunQuorvid(const std::vector<std::string>& args, const RunOptions& options = {});

/// Path of the quorvid binary under test.
std::string QuorvidBinary();

/// Path of a file under tests/data.
std::string TestDataPath(const std::string& relative);

/// A fresh folder under the system's temporary folder (/tmp, or %TEMP% on
/// Windows, written with "/"), removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  /// path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

/// Writes `content` to `path` (binary), creating parent folders.
void WriteFile(const std::string& path, const std::string& content);
/// Whole file as bytes; "" when missing.
std::string ReadFile(const std::string& path);
/// `size` bytes of a fixed pseudo-random sequence that `seed` picks.
std::string PseudoRandomBytes(size_t size, uint32_t seed);

/// Splits on "\n" (a final empty piece after a trailing "\n" is dropped).
std::vector<std::string> SplitLines(const std::string& text);

/// The lines of text the program wrote: split at LineEnd(), the final empty
/// piece dropped. A line ended otherwise keeps its "\n" and so shows in a
/// comparison.
std::vector<std::string> OutputLines(const std::string& text);

/// How many processors the calling thread may run on now.
int ThreadAllowedProcessors();

/// True in the Windows build, for the few checks that cannot apply there.
bool OnWindows();

/// Makes a FIFO (named pipe) at `path`; POSIX only.
bool MakeFifo(const std::string& path);

/// Sets or removes a variable of this process's environment.
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);

/// The line end the program writes: "\r\n" on Windows, "\n" elsewhere.
std::string LineEnd();

/// `path` written as the program writes names: "/" becomes "\" on Windows.
std::string NativePath(std::string path);

/// The environment a run of the program gets, for the platform twins:
/// `current` ("NAME=value" entries) with `defaults`, then `extra`, added or
/// replacing entries of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& current,
                                          const std::vector<std::string>& defaults,
                                          const std::vector<std::string>& extra);

}  // namespace quorvid::test
