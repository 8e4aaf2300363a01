#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace quorvid::test {

std::string QuorvidBinary() { return QUORVID_BINARY; }

std::string TestDataPath(const std::string& relative) {
  return std::string(QUORVID_TEST_DATA) + "/" + relative;
}

namespace {

std::vector<std::string> BuildEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  auto overridden = [&](const std::string& entry) {
    std::string name = entry.substr(0, entry.find('='));
    for (const auto& e : extra)
      if (e.substr(0, e.find('=')) == name) return true;
    return name == "TZ" || name == "LC_ALL";
  };
  for (char** p = environ; *p; ++p)
    if (!overridden(*p)) env.emplace_back(*p);
  env.emplace_back("TZ=UTC");
  env.emplace_back("LC_ALL=C");
  for (const auto& e : extra) {
    std::string name = e.substr(0, e.find('='));
    if (name == "TZ" || name == "LC_ALL")
      for (auto& x : env)
        if (x.rfind(name + "=", 0) == 0) x = e;
    if (name != "TZ" && name != "LC_ALL") env.push_back(e);
  }
  return env;
}

}  // namespace

RunResult RunQuorvid(const std::vector<std::string>& args, const RunOptions& options) {
  int outPipe[2], errPipe[2], inPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0 || pipe(inPipe) != 0)
    throw std::runtime_error("pipe failed");
  std::vector<std::string> env = BuildEnvironment(options.extraEnv);
  std::string binary = QuorvidBinary();
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(inPipe[0], 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1], inPipe[0], inPipe[1]}) close(fd);
    if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) _exit(127);
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    execve(binary.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  close(inPipe[0]);
  // Feed standard input without blocking the readers: a small text fits the pipe.
  signal(SIGPIPE, SIG_IGN);
  if (!options.stdinText.empty()) {
    ssize_t ignored = write(inPipe[1], options.stdinText.data(), options.stdinText.size());
    (void)ignored;
  }
  close(inPipe[1]);
  RunResult result;
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  int open = 2;
  char buf[65536];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? result.out : result.err).append(buf, static_cast<size_t>(n));
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

TempDir::TempDir() {
  char tmpl[] = "/tmp/quorvid-test-XXXXXX";
  if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string PseudoRandomBytes(size_t size, uint32_t seed) {
  std::string data(size, '\0');
  for (char& c : data) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  return data;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

int ThreadAllowedProcessors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) != 0) return 0;
  return CPU_COUNT(&set);
}

}  // namespace quorvid::test
