// The Windows twins of src/platform, exercised directly on Windows (or under
// Wine): files, folders, code pages, the environment, processors, sockets,
// the clock, the console channels and the signal lock. Each group prints
// "ok" or the checks that failed; the exit code is the number of failures.
//
// The program runs itself as a child for what needs fresh standard handles:
// "child-console" writes through the console unit to pipes, "child-stdin"
// reads "-" from a pipe.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/environment.h"
#include "platform/file_info.h"
#include "platform/file_reader.h"
#include "platform/file_writer.h"
#include "platform/folders.h"
#include "platform/processors.h"
#include "platform/read_buffer.h"
#include "platform/signals.h"
#include "platform/sockets.h"
#include "platform/text_encoding.h"
#include "platform/text_file.h"
#include "platform/windows_text.h"
#include "win_checks.h"

using namespace quorvid::platform;
using namespace quorvid::test;

namespace {

// The expression itself names a failed check.
#define CHECK(x) Check((x), #x)
#define CHECK_EQ(actual, expected) CheckEqual((actual), (expected), #actual)

std::string g_scratch;  // a fresh folder under %TEMP%, with a "\" at the end

std::string WriteWhole(const std::string& path, const std::string& bytes,
                       WriteMode mode = WriteMode::CreateOrTruncate) {
  OutputTarget target;
  std::string error;
  if (!OpenOutputTarget(path, mode, target, error)) return error;
  if (!WriteToTarget(target, bytes, error) || !CloseTarget(target, error)) return error;
  return "";
}

std::string ReadWhole(const std::string& path) {
  TextFileInput input;
  std::string error;
  if (!input.Open(path, error)) return "<" + error + ">";
  std::string bytes;
  char buffer[7];  // small, so the pieces are put together
  int64_t n;
  while ((n = input.Read(buffer, sizeof buffer, error)) > 0) bytes.append(buffer, n);
  return n == 0 ? bytes : "<" + error + ">";
}

std::string PseudoRandom(size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 2463534242u;
  for (char& c : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return bytes;
}

bool RunningUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Removes `path` and everything in it.
void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        RemoveTree(path + L"\\" + name);
      else
        ::DeleteFileW((path + L"\\" + name).c_str());
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(path.c_str());
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  return ::CompareStringOrdinal(WideFromUtf8(text.substr(text.size() - end.size())).c_str(), -1,
                                WideFromUtf8(end).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// ---------------------------------------------------------------------------

void NamesAndErrors() {
  const std::string name = "na\xC3\xAFve \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
  CHECK(WideFromUtf8(name) == L"na\u00EFve \u65E5\u672C \U0001F600");
  CHECK(Utf8FromWide(WideFromUtf8(name)) == name);
  // A name with a lone surrogate (NTFS allows it) survives the round trip.
  const std::wstring lone = L"a\xD800z";
  CHECK(WideFromUtf8(Utf8FromWide(lone)) == lone);
  CHECK(WideFromUtf8("x\xFFy") == L"x\xFFFDy");
  const std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
  CHECK(!text.empty() && text.back() != '\n' && text.back() != '\r');
  CHECK(SystemErrorText(0xDEADu) == "Error 57005");
}

void Files() {
  const std::string path = g_scratch + "file.txt";
  CHECK(WriteWhole(path, "abc\r\n") == "");
  CHECK(WriteWhole(path, "def", WriteMode::Append) == "");
  CHECK(ReadWhole(path) == "abc\r\ndef");
  CHECK(WriteWhole(path, "x") == "");  // truncated
  CHECK(ReadWhole(path) == "x");
  CHECK(WriteWhole(path, "y", WriteMode::CreateOrTruncateNoLink) == "");
  CHECK(ReadWhole(path) == "y");
  // Forward slashes are accepted, as everywhere in the file calls.
  std::string slashed = path;
  for (char& c : slashed)
    if (c == '\\') c = '/';
  CHECK(ReadWhole(slashed) == "y");
  CHECK(WriteWhole(g_scratch, "z") != "");  // a folder is no file to write
  CHECK(ReadWhole(g_scratch + "missing").front() == '<');

  // Front to back, at offsets, and after a seek.
  const std::string content = PseudoRandom(3 << 20);
  const std::string big = g_scratch + "big.bin";
  CHECK(WriteWhole(big, content) == "");
  FileReader reader;
  CHECK(reader.Open(big, true));
  CHECK(reader.RegularSize() == static_cast<int64_t>(content.size()));
  std::string seen;
  std::vector<uint8_t> buffer(100000);
  int64_t n;
  while ((n = reader.Read(buffer.data(), buffer.size())) > 0)
    seen.append(reinterpret_cast<char*>(buffer.data()), n);
  CHECK(n == 0);
  CHECK(seen == content);
  uint8_t byte = 0;
  CHECK(reader.ReadAt(&byte, 1, 12345) == 1 && byte == static_cast<uint8_t>(content[12345]));
  CHECK(reader.ReadAt(&byte, 1, content.size()) == 0);
  CHECK(reader.SeekTo(content.size() - 3));
  CHECK(reader.Read(buffer.data(), buffer.size()) == 3);
  CHECK(std::memcmp(buffer.data(), content.data() + content.size() - 3, 3) == 0);

  // Four threads read their quarters at once.
  std::vector<std::string> parts(4);
  std::vector<std::thread> threads;
  const size_t quarter = content.size() / 4;
  for (size_t t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      std::vector<uint8_t> piece(65536);
      for (size_t done = 0; done < quarter;) {
        const int64_t got = reader.ReadAt(piece.data(), piece.size(), t * quarter + done);
        if (got <= 0) return;
        parts[t].append(reinterpret_cast<char*>(piece.data()), got);
        done += got;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (size_t t = 0; t < 4; ++t)
    CHECK(parts[t].substr(0, quarter) == content.substr(t * quarter, quarter));

  // Readers share the file; a writer waits until the last reader is gone,
  // and a reader cannot open a file a writer holds.
  FileReader second;
  CHECK(second.Open(big));
  CHECK(WriteWhole(big, "overwritten") != "");
  reader.Close();
  second.Close();
  CHECK(!reader.IsOpen());
  CHECK(reader.Read(buffer.data(), 1) == -1);
  OutputTarget holder;
  std::string error;
  CHECK(OpenOutputTarget(big, WriteMode::Append, holder, error));
  CHECK(!reader.Open(big));
  CHECK(CloseTarget(holder, error));
  CHECK(reader.Open(big));
  reader.Close();

  // Folders and missing names do not open; a device opens unless only
  // regular files are wanted.
  CHECK(!reader.Open(g_scratch));
  CHECK(!reader.Open(g_scratch + "missing"));
  CHECK(!LastErrorText().empty());
  CHECK(!reader.Open(""));
  CHECK(!reader.Open("NUL", true));
  CHECK(reader.Open("NUL"));
  CHECK(reader.RegularSize() == -1);
  CHECK(reader.Read(buffer.data(), buffer.size()) == 0);
  CHECK(reader.ReadAt(buffer.data(), 1, 0) == -1);  // a device has no offsets
  reader.Close();
}

void StandardInputChild() {
  FileReader reader;
  uint8_t buffer[64];
  if (!reader.Open("-")) return;
  std::string seen;
  int64_t n;
  while ((n = reader.Read(buffer, sizeof buffer)) > 0)
    seen.append(reinterpret_cast<char*>(buffer), n);
  FileReader again;
  WriteStdOut(seen + (n == 0 ? "|end" : "|error") + (again.Open("-") ? "|opened twice" : "|once"));
}

// Runs this program with `mode`, feeding it `input`; fills what it wrote.
bool RunChild(const char* mode, const std::string& input, std::string& out, std::string& err) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
  if (!::CreatePipe(&inRead, &inWrite, &inherit, 0) ||
      !::CreatePipe(&outRead, &outWrite, &inherit, 0) ||
      !::CreatePipe(&errRead, &errWrite, &inherit, 0))
    return false;
  ::SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  std::wstring command = L"\"" + WideFromUtf8(ExecutablePath()) + L"\" " + WideFromUtf8(mode);
  PROCESS_INFORMATION process{};
  const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  ::CloseHandle(inRead);
  ::CloseHandle(outWrite);
  ::CloseHandle(errWrite);
  if (!started) return false;
  DWORD n = 0;
  ::WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &n, nullptr);
  ::CloseHandle(inWrite);
  char buffer[4096];
  while (::ReadFile(outRead, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  while (::ReadFile(errRead, buffer, sizeof buffer, &n, nullptr) && n > 0) err.append(buffer, n);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  ::CloseHandle(outRead);
  ::CloseHandle(errRead);
  return true;
}

void StandardInput() {
  std::string out, err;
  CHECK(RunChild("child-stdin", "piped\r\nbytes", out, err));
  CHECK_EQ(out, "piped\r\nbytes|end|once");
}

void Status() {
  const std::string path = g_scratch + "dated.txt";
  CHECK(WriteWhole(path, "12345") == "");
  FileStatus status = StatPath(path);
  CHECK(status.kind == FileKind::Regular);
  CHECK(status.size == 5);
  CHECK(status.inode != 0);
  const std::time_t now = std::time(nullptr);
  CHECK(status.modified > now - 120 && status.modified <= now + 5);

  // Dates after and before 1970, to the second (2001-02-03 04:05:06 UTC,
  // and one second before 1970 with a fraction, which rounds down).
  HANDLE file = ::CreateFileW(WideFromUtf8(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  const auto setTime = [&](int64_t ticks) {
    FILETIME time{static_cast<DWORD>(ticks),
                  static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
    return ::SetFileTime(file, nullptr, nullptr, &time) != 0;
  };
  const int64_t epoch = 116444736000000000;
  CHECK(setTime(epoch + 981173106LL * 10000000 + 4000000));
  ::FlushFileBuffers(file);
  CHECK(StatPath(path).modified == 981173106);
  CHECK(setTime(epoch - 5000000));
  CHECK(StatPath(path).modified == -1);
  ::CloseHandle(file);

  // Another name for the same file has the same identity.
  const std::string hard = g_scratch + "hard.txt";
  if (::CreateHardLinkW(WideFromUtf8(hard).c_str(), WideFromUtf8(path).c_str(), nullptr)) {
    const FileStatus other = StatPath(hard);
    CHECK(other.device == status.device && other.inode == status.inode);
  } else {
    std::printf("  (hard links not available: identity of two names not checked)\n");
  }
  CHECK(StatPath(g_scratch + "..").kind == FileKind::Directory);
  CHECK(StatPath(g_scratch + "missing").kind == FileKind::Missing);
  CHECK(StatPath("").kind == FileKind::Missing);
  CHECK(StatPath("NUL").kind == FileKind::Other);
  CHECK(FileExists(path) && FileExists("NUL") && !FileExists(g_scratch));
  CHECK(DirectoryExists(g_scratch) && !DirectoryExists(path));

  const std::string saved = CurrentDirectory();
  CHECK(ChangeCurrentDirectory(g_scratch));
  std::string here = CurrentDirectory();
  CHECK(here.back() != '\\');
  CHECK(here + "\\" == ExpandFileName(""));
  CHECK(ExpandFileName("a/b/../c") == here + "\\a\\c");
  CHECK(ExpandFileName("a\\b\\") == here + "\\a\\b\\");
  CHECK(StatPath("dated.txt").size == 5);
  CHECK(!ChangeCurrentDirectory(g_scratch + "missing"));
  CHECK(ChangeCurrentDirectory(saved));
  CHECK(CurrentDirectory() == saved);
  CHECK(ExpandFileName("C:\\x\\..\\y") == "C:\\y");
  CHECK(ExpandFileName("\\\\server\\share\\a\\..\\b") == "\\\\server\\share\\b");
}

const FolderEntry* Find(const std::vector<FolderEntry>& entries, const std::string& name) {
  for (const auto& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

void Folders() {
  const std::string folder = g_scratch + "tree\\";
  ::CreateDirectoryW(WideFromUtf8(folder).c_str(), nullptr);
  ::CreateDirectoryW(WideFromUtf8(folder + "sub").c_str(), nullptr);
  const std::string unicode = "\xE6\x97\xA5\xE6\x9C\xAC.txt";
  for (int i = 0; i < 30; ++i) WriteWhole(folder + "f" + std::to_string(i), "x");
  WriteWhole(folder + unicode, "u");

  std::vector<FolderEntry> entries;
  CHECK(ReadFolder(folder, entries));
  CHECK(entries.size() == 32);
  // The order is the system's own.
  std::vector<std::string> listed;
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW(WideFromUtf8(folder + "*").c_str(), &data);
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") listed.push_back(Utf8FromWide(name));
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  CHECK(names == listed);
  CHECK(Find(entries, "sub") && Find(entries, "sub")->kind == FileKind::Directory);
  CHECK(Find(entries, unicode) && Find(entries, unicode)->kind == FileKind::Regular);
  const FolderEntry* f7 = Find(entries, "f7");
  CHECK(f7 && f7->kind == FileKind::Regular && !f7->isLink);
  const FileStatus f7Status = StatPath(folder + "f7");
  CHECK(f7 && f7->device == f7Status.device && f7->inode == f7Status.inode);

  // Without identities plain files are not opened; folders still are.
  std::vector<FolderEntry> quick;
  CHECK(ReadFolder(folder, quick, false));
  CHECK(quick.size() == entries.size());
  CHECK(Find(quick, "f7") && Find(quick, "f7")->inode == 0);
  CHECK(Find(quick, "sub") && Find(quick, "sub")->inode == Find(entries, "sub")->inode);

  // The current folder, a folder named without its "\", and what is none.
  const std::string saved = CurrentDirectory();
  ChangeCurrentDirectory(folder);
  std::vector<FolderEntry> here;
  CHECK(ReadFolder("", here) && here.size() == 32);
  ChangeCurrentDirectory(saved);
  std::vector<FolderEntry> sub{FolderEntry{}};
  CHECK(ReadFolder(folder + "sub", sub) && sub.empty());
  CHECK(!ReadFolder(folder + "missing", sub) && sub.empty());
  CHECK(!ReadFolder(folder + "f1", sub));

  const std::string real = ResolvePath(folder + "sub");
  CHECK(!real.empty() && real.find("\\\\?\\") == std::string::npos);
  CHECK(ResolvePath(folder + "sub\\..\\sub") == real);
  CHECK(ResolvePath(folder + "missing") == "");
  CHECK(EndsWithNoCase(real, "\\tree\\sub"));

  // A name past the classic 260-character limit works in every call.
  std::string deep = folder;
  while (deep.size() < 300) {
    deep += "a-rather-long-folder-name\\";
    ::CreateDirectoryW(WidePath(deep).c_str(), nullptr);
  }
  CHECK(WriteWhole(deep + "deep.txt", "deep") == "");
  CHECK(ReadWhole(deep + "deep.txt") == "deep");
  CHECK(StatPath(deep + "deep.txt").size == 4);
  FileReader reader;
  CHECK(reader.Open(deep + "deep.txt"));
  std::vector<FolderEntry> deepEntries;
  CHECK(ReadFolder(deep, deepEntries) && deepEntries.size() == 1);
  if (RunningUnderWine())
    std::printf("  (Wine resolves no name past the classic limit: not checked)\n");
  else
    CHECK(EndsWithNoCase(ResolvePath(deep + "deep.txt"), "\\deep.txt"));
}

void CodePages() {
  for (uint16_t id : {65001, 1200, 1201, 20127, 28591, 28605, 1252, 850, 437, 932})
    CHECK(CodePageAvailable(id));
  for (uint16_t id : {0, 1, 2, 3, 42, 12345}) CHECK(!CodePageAvailable(id));
  // The results iconv gives on POSIX for the same texts.
  CHECK(Utf8ToCodePage("caf\xC3\xA9", 1252) == "caf\xE9");
  CHECK(Utf8ToCodePage("\xE2\x82\xAC", 1252) == "\x80");
  CHECK(Utf8ToCodePage("\xE2\x82\xAC", 28605) == "\xA4");
  CHECK(Utf8ToCodePage("a\xD0\x96"
                       "b\xE2\x82\xAC"
                       "c",
                       28591) == "a?b?c");
  CHECK(Utf8ToCodePage("\xC3\xA9t\xC3\xA9", 20127) == "?t?");
  CHECK(Utf8ToCodePage("x\xFFy\xC3", 1252) == "x?y?");
  CHECK(Utf8ToCodePage("a\xE2\x82"
                       "b",
                       1252) == "a?b");
  CHECK(Utf8ToCodePage("\xC4\x81", 1252) == "?");  // no look-alike "a"
  CHECK(Utf8ToCodePage("\xD0\x96", 1251) == "\xC6");
  CHECK(Utf8ToCodePage("\xD0\x96", 866) == "\x86");
  CHECK(Utf8ToCodePage("\xE6\x97\xA5\xE6\x9C\xAC", 932) == "\x93\xFA\x96\x7B");
  CHECK(CodePageToUtf8("\x93\xFA\x96\x7B", 932) == "\xE6\x97\xA5\xE6\x9C\xAC");
  CHECK(CodePageToUtf8("A\x81", 932) == "A?");
  CHECK(CodePageToUtf8("caf\xE9", 1252) == "caf\xC3\xA9");
  CHECK(Utf8ToCodePage("A\xC3\xA9\n", 1200) == std::string("A\0\xE9\0\n\0", 6));
  CHECK(Utf8ToCodePage("A\xC3\xA9\n", 1201) == std::string("\0A\0\xE9\0\n", 6));
  CHECK(Utf8ToCodePage("\xF0\x9F\x98\x80", 1201) == std::string("\xD8\x3D\xDE\x00", 4));
  CHECK(Utf8ToCodePage("\xED\xA0\x80", 1200) == std::string("?\0", 2));
  CHECK(CodePageToUtf8(std::string("A\0\xE9\0", 4), 1200) == "A\xC3\xA9");
  CHECK(CodePageToUtf8(std::string("A\0B", 3), 1200) == "A?");
  CHECK(CodePageToUtf8(std::string("\x00\xD8"
                                   "A\x00",
                                   4),
                       1200) == "?A");
  CHECK(CodePageToUtf8(std::string("\x3D\xD8\x00\xDE", 4), 1200) == "\xF0\x9F\x98\x80");
  CHECK(Utf8ToCodePage("caf\xC3\xA9", 65001) == "caf\xC3\xA9");
  CHECK(CodePageToUtf8("\xE9\xFF", 12345) == "\xE9\xFF");  // no such code page: unchanged
}

void Environment() {
  ::SetEnvironmentVariableW(L"QUORVID_SMOKE", L"value \u00FC");
  CHECK(EnvironmentVariable("QUORVID_SMOKE") == "value \xC3\xBC");
  ::SetEnvironmentVariableW(L"QUORVID_SMOKE", std::wstring(1000, L'v').c_str());
  CHECK(EnvironmentVariable("QUORVID_SMOKE") == std::string(1000, 'v'));
  ::SetEnvironmentVariableW(L"QUORVID_SMOKE", L"");
  CHECK(EnvironmentVariable("QUORVID_SMOKE") == "");
  ::SetEnvironmentVariableW(L"QUORVID_SMOKE", nullptr);
  CHECK(!EnvironmentVariable("QUORVID_SMOKE").has_value());
  const auto temp = EnvironmentVariable("TEMP");
  CHECK(temp.has_value() && DirectoryExists(*temp));
  CHECK(EndsWithNoCase(ExecutablePath(), "\\platform_win_smoke.exe"));
}

void Processors() {
  const size_t count = UsableProcessorCount();
  CHECK(count >= 1);
  CHECK(count == std::thread::hardware_concurrency());
  DWORD_PTR process = 0, system = 0;
  ::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system);
  if (::SetProcessAffinityMask(::GetCurrentProcess(), 1)) {
    CHECK(UsableProcessorCount() == 1);
    ::SetProcessAffinityMask(::GetCurrentProcess(), process);
  } else {
    std::printf("  (affinity cannot be set here: one-processor count not checked)\n");
  }
}

void ReadBuffers() {
  for (size_t size : {size_t{1}, size_t{4096}, size_t{3} << 20}) {
    ReadBuffer a(size);
    ReadBuffer b(size);
    CHECK(reinterpret_cast<uintptr_t>(a.Data()) % 4096 == 0);
    CHECK(a.Size() >= size);
    std::memset(a.Data(), 0xA5, size);
    std::memset(b.Data(), 0x5A, size);
    CHECK(a.Data()[size - 1] == 0xA5 && b.Data()[0] == 0x5A);
  }
  CHECK(ThreadReadBuffer() != nullptr && ThreadSmallReadBuffer() != nullptr);
}

void Sockets() {
  // A listening socket of our own on a port the system picks.
  WSADATA data{};
  ::WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  ::listen(listener, 1);
  const uint16_t port = ntohs(address.sin_port);

  ConnectResult connected = ConnectTcp("127.0.0.1", port, 5000);
  CHECK(connected.status == ConnectStatus::Connected);
  SOCKET peer = ::accept(listener, nullptr, nullptr);
  CHECK(peer != INVALID_SOCKET);
  IoResult sent = SendAll(connected.socket, "ping", 4, 5000);
  CHECK(sent.status == IoStatus::Done && sent.bytes == 4);
  char buffer[16] = {};
  CHECK(::recv(peer, buffer, sizeof buffer, 0) == 4 && std::string(buffer, 4) == "ping");
  CHECK(Receive(connected.socket, buffer, sizeof buffer, 0).status == IoStatus::TimedOut);
  CHECK(WaitForSocket(connected.socket, WaitFor::Readable, 50) == WaitStatus::TimedOut);
  CHECK(WaitForSocket(connected.socket, WaitFor::Writable, 50) == WaitStatus::Ready);
  ::send(peer, "pong", 4, 0);
  IoResult received = Receive(connected.socket, buffer, sizeof buffer, 5000);
  CHECK(received.status == IoStatus::Done && std::string(buffer, received.bytes) == "pong");
  ::closesocket(peer);
  CHECK(Receive(connected.socket, buffer, sizeof buffer, 5000).status == IoStatus::Closed);
  CloseSocket(connected.socket);
  CHECK(connected.socket.handle == -1);
  CloseSocket(connected.socket);  // harmless twice

  // Once the listener is gone, the port refuses.
  ::closesocket(listener);
  ConnectResult refused = ConnectTcp("127.0.0.1", port, 5000);
  CHECK(refused.status == ConnectStatus::ConnectFailed);
  CHECK(!refused.errorText.empty());
  std::printf("  refused: %s\n", refused.errorText.c_str());
  CHECK(ConnectTcp("", port, 1000).status == ConnectStatus::ResolveFailed);
}

void Clock() {
  // Run with TZ=America/New_York: the offsets below come from the zone's
  // rules (GNU date), -5 hours in February and -4 in July.
  const auto winter = ToLocalTime(981173106);  // 2001-02-03 04:05:06 UTC
  CHECK(winter && winter->year == 2001 && winter->month == 2 && winter->day == 2 &&
        winter->hour == 23 && winter->minute == 5 && winter->second == 6);
  const auto summer = ToLocalTime(994000000);  // 2001-07-01 15:06:40 UTC
  CHECK(summer && summer->day == 1 && summer->hour == 11 && summer->minute == 6);
  CHECK(FromLocalTime(*winter) == 981173106);
  CHECK(FromLocalTime(*summer) == 994000000);
  CHECK(FromLocalTime({2001, 2, 2, 23, 5, 6, 0}) == 981173106);
  // Fields out of range carry over, as with mktime.
  CHECK(FromLocalTime({2024, 1, 32, 0, 0, 0, 0}) == FromLocalTime({2024, 2, 1, 0, 0, 0, 0}));
  CHECK(FromLocalTime({2024, 13, 1, 0, 0, 0, 0}) == FromLocalTime({2025, 1, 1, 0, 0, 0, 0}));
  CHECK(FromLocalTime({2024, 0, 1, 0, 0, 0, 0}) == FromLocalTime({2023, 12, 1, 0, 0, 0, 0}));
  CHECK(FromLocalTime({2024, 3, 1, 24, 0, 0, 0}) == FromLocalTime({2024, 3, 2, 0, 0, 0, 0}));
  CHECK(FromLocalTime({1969, 12, 31, 18, 59, 59, 0}) == -1);
  CHECK(!FromLocalTime({1500, 1, 1, 0, 0, 0, 0}).has_value());

  SYSTEMTIME system{};
  ::GetLocalTime(&system);
  const LocalTime now = LocalNow();
  CHECK(now.year == system.wYear && now.month == system.wMonth && now.day == system.wDay);
  const auto local = ToLocalTime(std::time(nullptr));
  CHECK(local && local->year == now.year && local->hour == now.hour);

  const std::string format = LocaleShortDateFormat();
  std::printf("  short date: \"%s\"\n", format.c_str());
  CHECK(format.find("%") != std::string::npos);
}

void ConsoleChild() {
  WriteStdOut("out\nline\n");
  ShowProgressLine("one");
  ShowProgressLine("two");
  EndProgressLine();
  ShowProgressLine("never");
  WriteStdErr("message \xC3\xBC\n");
  KeyWait keys;
  const auto start = std::chrono::steady_clock::now();
  const bool key = keys.Pause(200);
  const auto waited = std::chrono::steady_clock::now() - start;
  std::printf("%s %s %s %d", StdErrIsTerminal() ? "terminal" : "no-terminal",
              key ? "key" : "no-key", waited >= std::chrono::milliseconds(190) ? "waited" : "short",
              static_cast<int>(StdErrColumns()));
  std::fflush(stdout);
}

void Console() {
  std::string out, err;
  CHECK(RunChild("child-console", "", out, err));
  // Lines end in CR LF on both channels (printf's own bytes go as written);
  // progress lines each on a line of their own when standard error is no
  // console.
  CHECK_EQ(out, "out\r\nline\r\nno-terminal no-key waited 80");
  CHECK_EQ(err, "one\r\ntwo\r\nmessage \xC3\xBC\r\n");
}

void Signals() {
  CHECK(InstallInterruptHandlers());
  CHECK(!CtrlCPressed() && !CtrlBreakPressed());
  RestoreDefaultInterruptHandlers();
  // The lock may be taken again by the thread that holds it.
  {
    ScopedSignalsBlocked outer;
    ScopedSignalsBlocked inner;
  }
  // While a write-out is under way, a change of registration (and so the
  // handler, which takes the same lock) waits for it.
  PendingOutput output;
  std::atomic<bool> registered{false};
  std::thread other;
  {
    ScopedSignalsBlocked held;
    other = std::thread([&] {
      SaveOnSignal(&output);
      registered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CHECK(!registered);
  }
  other.join();
  CHECK(registered);
  SaveOnSignal(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "child-stdin") == 0) {
    StandardInputChild();
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "child-console") == 0) {
    ConsoleChild();
    return 0;
  }
  const auto temp = EnvironmentVariable("TEMP");
  if (!temp) {
    std::printf("TEMP is not set\n");
    return 1;
  }
  g_scratch = *temp + "\\quorvid_smoke_" + std::to_string(::GetCurrentProcessId()) + "\\";
  ::CreateDirectoryW(WideFromUtf8(g_scratch).c_str(), nullptr);

  Group("names and error texts", NamesAndErrors);
  Group("files: write, append, read, offsets, share modes", Files);
  Group("standard input", StandardInput);
  Group("file status, current folder, full names", Status);
  Group("folders", Folders);
  Group("code pages", CodePages);
  Group("environment", Environment);
  Group("processors", Processors);
  Group("read buffers", ReadBuffers);
  Group("sockets", Sockets);
  Group("clock", Clock);
  Group("console channels", Console);
  Group("signals", Signals);

  // The long form, so that the folders past the classic limit go too.
  RemoveTree(L"\\\\?\\" + WideFromUtf8(g_scratch.substr(0, g_scratch.size() - 1)));
  std::printf("%d failed check(s)\n", g_failures);
  return g_failures;
}
