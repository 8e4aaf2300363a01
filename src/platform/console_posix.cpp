#include "platform/console.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace quorvid::platform {

static_assert(sizeof(termios) <= 128, "KeyWait keeps the terminal settings in 128 bytes");

namespace {

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The progress line: shown by one thread while others write messages.
std::mutex g_progressMutex;
bool g_progressShown = false;  // a line stands in place on the terminal
bool g_progressEnded = false;

constexpr std::string_view kEraseLine = "\r\x1b[K";

void ClearShownLine() {
  if (!g_progressShown) return;
  WriteAll(STDERR_FILENO, kEraseLine);
  g_progressShown = false;
}

}  // namespace

void WriteStdErr(std::string_view text) {
  std::lock_guard<std::mutex> lock(g_progressMutex);
  ClearShownLine();
  std::fflush(stderr);  // keep order with anything the C library buffered
  WriteAll(STDERR_FILENO, text);
}

bool StdErrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

size_t StdErrColumns() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

void ShowProgressLine(std::string_view text) {
  std::lock_guard<std::mutex> lock(g_progressMutex);
  if (g_progressEnded) return;
  if (StdErrIsTerminal()) {
    WriteAll(STDERR_FILENO, std::string(kEraseLine) + std::string(text));
    g_progressShown = true;
  } else {
    WriteAll(STDERR_FILENO, std::string(text) + "\n");
  }
}

void EndProgressLine() {
  std::lock_guard<std::mutex> lock(g_progressMutex);
  ClearShownLine();
  g_progressEnded = true;
}

bool WriteStdOut(std::string_view text) {
  // Through the C library's stdout, so the order with other writers of
  // standard output that use it is kept.
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    return false;
  return std::fflush(stdout) == 0;
}

void Beep() { WriteStdErr("\a"); }

KeyWait::KeyWait() {
  terminal_ = ::isatty(STDIN_FILENO) == 1;
  if (!terminal_) return;
  termios mode{};
  if (::tcgetattr(STDIN_FILENO, &mode) != 0) {
    terminal_ = false;
    return;
  }
  std::memcpy(saved_, &mode, sizeof mode);
  mode.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  mode.c_cc[VMIN] = 0;
  mode.c_cc[VTIME] = 0;
  restore_ = ::tcsetattr(STDIN_FILENO, TCSANOW, &mode) == 0;
}

KeyWait::~KeyWait() {
  if (!restore_) return;
  termios mode{};
  std::memcpy(&mode, saved_, sizeof mode);
  ::tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

bool KeyWait::Pause(int milliseconds) {
  if (!terminal_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return false;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{STDIN_FILENO, POLLIN, 0};
    int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (fd.revents & POLLIN) {
      char key[16];
      ssize_t n = ::read(STDIN_FILENO, key, sizeof key);
      if (n > 0) return true;
    }
    // End of input or an error: no key can come, wait out the time.
    std::this_thread::sleep_for(left);
    return false;
  }
}

}  // namespace quorvid::platform
