#include "faults/fault_runner.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "test_support.h"

extern char** environ;

namespace quorvid::test {

namespace {

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> ChildEnvironment(const FaultOptions& options) {
  std::vector<std::string> extra = options.extraEnv;
  extra.push_back("TZ=UTC");
  extra.push_back("LC_ALL=C");
  if (options.preloadShim) {
    extra.push_back(std::string("LD_PRELOAD=") + QUORVID_FAULT_SHIM);
    // The library is loaded ahead of a sanitizer runtime; that is intended.
    const char* asan = std::getenv("ASAN_OPTIONS");
    extra.push_back(std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") +
                    ":verify_asan_link_order=0");
  }
  std::vector<std::string> env;
  for (char** p = environ; *p != nullptr; ++p) {
    std::string entry = *p;
    std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& e : extra)
      if (e.substr(0, e.find('=')) == name) replaced = true;
    if (!replaced) env.push_back(entry);
  }
  // Later entries for the same name win.
  for (size_t i = 0; i < extra.size(); ++i) {
    std::string name = extra[i].substr(0, extra[i].find('='));
    bool later = false;
    for (size_t j = i + 1; j < extra.size(); ++j)
      if (extra[j].substr(0, extra[j].find('=')) == name) later = true;
    if (!later) env.push_back(extra[i]);
  }
  return env;
}

std::string TempName(const char* what) {
  char name[] = "/tmp/quorvid-fault-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) throw std::runtime_error(std::string("cannot make a file for ") + what);
  close(fd);
  return name;
}

}  // namespace

FaultChild::FaultChild(const std::vector<std::string>& args, const FaultOptions& options)
    : outPath_(TempName("standard output")), errPath_(TempName("standard error")) {
  std::vector<std::string> env = ChildEnvironment(options);
  std::vector<char*> argv{const_cast<char*>(QUORVID_BINARY)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  started_ = Now();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(options.discardOutput ? "/dev/null" : outPath_.c_str(), O_WRONLY | O_TRUNC);
    int err = open(errPath_.c_str(), O_WRONLY | O_TRUNC);
    if (in < 0 || out < 0 || err < 0) _exit(120);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) _exit(121);
    if (options.oneProcessor) {
      cpu_set_t allowed;
      if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) _exit(123);
      int first = 0;
      while (first < CPU_SETSIZE && !CPU_ISSET(first, &allowed)) ++first;
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(first, &one);
      if (sched_setaffinity(0, sizeof one, &one) != 0) _exit(123);
    }
    if (options.asNobody && getuid() == 0) {
      constexpr uid_t kNobody = 65534;
      if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(125);
    }
    if (options.addressSpaceMiB > 0) {
      const rlim_t bytes = static_cast<rlim_t>(options.addressSpaceMiB) << 20;
      rlimit limit{bytes, bytes};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(124);
    }
    execve(argv[0], argv.data(), envp.data());
    _exit(122);
  }
}

FaultChild::~FaultChild() {
  if (!waited_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  unlink(outPath_.c_str());
  unlink(errPath_.c_str());
}

FaultRun FaultChild::Wait(double timeoutSeconds) {
  FaultRun run;
  int status = 0;
  rusage usage{};
  if (timeoutSeconds > 0) {
    const double end = Now() + timeoutSeconds;
    for (;;) {
      pid_t done = wait4(pid_, &status, WNOHANG, &usage);
      if (done == pid_) break;
      if (done < 0 && errno != EINTR) throw std::runtime_error("wait4 failed");
      if (Now() >= end) {
        kill(pid_, SIGKILL);
        while (wait4(pid_, &status, 0, &usage) < 0)
          if (errno != EINTR) throw std::runtime_error("wait4 failed");
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  } else {
    while (wait4(pid_, &status, 0, &usage) < 0)
      if (errno != EINTR) throw std::runtime_error("wait4 failed");
  }
  waited_ = true;
  run.seconds = Now() - started_;
  run.peakRssKiB = usage.ru_maxrss;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadFile(outPath_);
  run.err = ReadFile(errPath_);
  return run;
}

FaultRun RunFault(const std::vector<std::string>& args, const FaultOptions& options,
                  double timeoutSeconds) {
  FaultChild child(args, options);
  return child.Wait(timeoutSeconds);
}

void MakeSparseFile(const std::string& path, long long bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ftruncate(fd, bytes) != 0) throw std::runtime_error("cannot make " + path);
  close(fd);
}

bool BuiltWithSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

bool WaitForFile(const std::string& path, double seconds) {
  double end = Now() + seconds;
  while (Now() < end) {
    if (access(path.c_str(), F_OK) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace quorvid::test
