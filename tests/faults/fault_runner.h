// Running the program for fault tests: like RunQuorvid, but the child's peak
// memory is measured (wait4), its output goes to files so nothing blocks, it
// can be started in the background and signalled, and the read-fault library
// can be preloaded into it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quorvid::test {

struct FaultRun {
  int exitCode = -1;      // exit status, or 128 + signal number
  long peakRssKiB = 0;    // the child's largest resident set
  double seconds = 0;     // wall time from start to exit
  std::string out, err;   // standard output and standard error
};

struct FaultOptions {
  std::string workDir;                // "" keeps the current folder
  std::vector<std::string> extraEnv;  // "NAME=value" added to the environment
  bool preloadShim = false;           // load the read-fault library into the child
  bool oneProcessor = false;          // hold the child to one processor (no worker threads)
  long addressSpaceMiB = 0;           // a limit on the child's address space (0: none)
  bool discardOutput = false;         // standard output to /dev/null (large outputs)
  bool asNobody = false;              // run as the unprivileged user "nobody" (when root)
};

/// A child started in the background; Wait() collects it.
class FaultChild {
 public:
  FaultChild(const std::vector<std::string>& args, const FaultOptions& options);
  ~FaultChild();
  FaultChild(const FaultChild&) = delete;
  FaultChild& operator=(const FaultChild&) = delete;

  pid_t pid() const { return pid_; }
  /// Waits for the child to end and returns what it did; after
  /// `timeoutSeconds` (0: none) it is killed (exit code 128 + SIGKILL).
  FaultRun Wait(double timeoutSeconds = 0);

 private:
  pid_t pid_ = -1;
  std::string outPath_, errPath_;
  double started_ = 0;
  bool waited_ = false;
};

/// Runs the program to its end, killing it after `timeoutSeconds` (0: none).
FaultRun RunFault(const std::vector<std::string>& args, const FaultOptions& options = {},
                  double timeoutSeconds = 0);

/// Exit code of a child killed by the timeout of Wait or RunFault.
inline constexpr int kKilledByTimeout = 128 + 9;

/// Makes a sparse file of `bytes` zero bytes (no disk space taken).
void MakeSparseFile(const std::string& path, long long bytes);

/// True when the tests were built with AddressSanitizer (memory use is larger).
bool BuiltWithSanitizer();

/// Waits up to `seconds` for `path` to exist.
bool WaitForFile(const std::string& path, double seconds);

}  // namespace quorvid::test
