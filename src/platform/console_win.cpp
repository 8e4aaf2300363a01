#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "platform/windows_text.h"

namespace quorvid::platform {

static_assert(sizeof(DWORD) <= 128, "KeyWait keeps the console mode in 128 bytes");

namespace {

HANDLE StdErrHandle() { return ::GetStdHandle(STD_ERROR_HANDLE); }

bool ConsoleMode(HANDLE handle, DWORD& mode) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

// A console shows what WriteFile gives it in its own code page, so text goes
// to a console as UTF-16 characters; anywhere else it goes as the bytes.
void WriteAll(std::string_view text) {
  HANDLE handle = StdErrHandle();
  DWORD mode = 0;
  if (ConsoleMode(handle, mode)) {
    const std::wstring wide = WideFromUtf8(text);
    std::wstring_view left = wide;
    while (!left.empty()) {
      DWORD n = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(left.size(), 16384));
      if (!::WriteConsoleW(handle, left.data(), chunk, &n, nullptr) || n == 0) return;
      left.remove_prefix(n);
    }
    return;
  }
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  while (!text.empty()) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 1u << 30));
    if (!::WriteFile(handle, text.data(), chunk, &n, nullptr) || n == 0) return;
    text.remove_prefix(n);
  }
}

// The program's texts end their lines in LF or CR LF; Windows shows and
// stores text with CR LF.
std::string WithSystemLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// The progress line: shown by one thread while others write messages.
std::mutex g_progressMutex;
bool g_progressShown = false;  // a line stands in place on the console
bool g_progressEnded = false;

// Blanks the console row from the cursor to its end, leaving the cursor where
// it is. With virtual-terminal processing on, the escape sequence does it.
void ClearRestOfRow() {
  HANDLE handle = StdErrHandle();
  DWORD mode = 0;
  if (ConsoleMode(handle, mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
    WriteAll("\x1b[K");
    return;
  }
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(handle, &info)) return;
  const SHORT width = static_cast<SHORT>(info.dwSize.X - info.dwCursorPosition.X);
  DWORD written = 0;
  if (width > 0)
    ::FillConsoleOutputCharacterW(handle, L' ', static_cast<DWORD>(width), info.dwCursorPosition,
                                  &written);
}

void ClearShownLine() {
  if (!g_progressShown) return;
  WriteAll("\r");
  ClearRestOfRow();
  g_progressShown = false;
}

// The program writes its own line ends; in text mode the C library would
// put a CR before each LF a second time.
void BinaryStandardOutput() {
  static const bool binary = _setmode(_fileno(stdout), _O_BINARY) != -1;
  (void)binary;
}

bool IsModifier(WORD key) {
  switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

}  // namespace

void WriteStdErr(std::string_view text) {
  std::lock_guard<std::mutex> lock(g_progressMutex);
  ClearShownLine();
  std::fflush(stderr);  // keep order with anything the C library buffered
  WriteAll(WithSystemLineEnds(text));
}

bool StdErrIsTerminal() {
  DWORD mode = 0;
  return ConsoleMode(StdErrHandle(), mode);
}

size_t StdErrColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (::GetConsoleScreenBufferInfo(StdErrHandle(), &info)) {
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    if (columns > 0) return static_cast<size_t>(columns);
  }
  return 80;
}

void ShowProgressLine(std::string_view text) {
  std::lock_guard<std::mutex> lock(g_progressMutex);
  if (g_progressEnded) return;
  if (StdErrIsTerminal()) {
    // Drawn over the last line, and what is left of a longer one blanked
    // after: the row never stands empty, so it does not flicker.
    WriteAll("\r" + std::string(text));
    ClearRestOfRow();
    g_progressShown = true;
  } else {
    WriteAll(std::string(text) + "\r\n");
  }
}

void EndProgressLine() {
  std::lock_guard<std::mutex> lock(g_progressMutex);
  ClearShownLine();
  g_progressEnded = true;
}

bool WriteStdOut(std::string_view text) {
  BinaryStandardOutput();
  // Through the C library's stdout, so the order with other writers of
  // standard output that use it is kept.
  const std::string lines = WithSystemLineEnds(text);
  if (!lines.empty() && std::fwrite(lines.data(), 1, lines.size(), stdout) != lines.size())
    return false;
  return std::fflush(stdout) == 0;
}

void Beep() { ::MessageBeep(MB_OK); }

KeyWait::KeyWait() {
  HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  terminal_ = ConsoleMode(input, mode);
  if (!terminal_) return;
  std::memcpy(saved_, &mode, sizeof mode);
  // Keys one at a time and unechoed; Ctrl-C keeps its meaning.
  restore_ = ::SetConsoleMode(
                 input, mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT)) != 0;
}

KeyWait::~KeyWait() {
  if (!restore_) return;
  DWORD mode = 0;
  std::memcpy(&mode, saved_, sizeof mode);
  ::SetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), mode);
}

bool KeyWait::Pause(int milliseconds) {
  if (!terminal_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return false;
  }
  HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    const DWORD ready = ::WaitForSingleObject(input, static_cast<DWORD>(left.count()));
    if (ready == WAIT_TIMEOUT) return false;
    INPUT_RECORD records[16];
    DWORD n = 0;
    if (ready != WAIT_OBJECT_0 || !::ReadConsoleInputW(input, records, 16, &n)) {
      // No key can come: wait out the time.
      std::this_thread::sleep_for(left);
      return false;
    }
    // Mouse, focus and key-up events, and a modifier pressed alone, are no
    // key (a terminal would send no byte for them): taken, and the wait goes on.
    for (DWORD i = 0; i < n; ++i) {
      const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
      if (records[i].EventType == KEY_EVENT && key.bKeyDown && !IsModifier(key.wVirtualKeyCode))
        return true;
    }
  }
}

}  // namespace quorvid::platform
