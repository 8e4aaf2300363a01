// Windows side of the test helpers: runs quorvid.exe with CreateProcessW
// behind pipes, scratch folders under %TEMP%.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cwchar>
#include <cwctype>
#include <stdexcept>
#include <thread>

#include "test_support.h"

namespace quorvid::test {

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                       nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

// One argument quoted as the C runtime splits a command line: backslashes
// are doubled only before a quote.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

std::vector<std::string> ProcessEnvironment() {
  std::vector<std::string> entries;
  wchar_t* block = GetEnvironmentStringsW();
  if (block == nullptr) return entries;
  for (const wchar_t* p = block; *p != L'\0'; p += wcslen(p) + 1)
    if (*p != L'=') entries.push_back(Utf8(p));  // "=C:=C:\..." are the system's own
  FreeEnvironmentStringsW(block);
  return entries;
}

// The block CreateProcessW takes: sorted by name without regard to case,
// each entry ended by a null, the whole by one more.
std::wstring EnvironmentBlock(const std::vector<std::string>& env) {
  std::vector<std::wstring> entries;
  for (const auto& e : env) entries.push_back(Wide(e));
  auto folded = [](const std::wstring& entry) {
    std::wstring name = entry.substr(0, entry.find(L'='));
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    return name;
  };
  const auto byName = [&](const std::wstring& a, const std::wstring& b) {
    return folded(a) < folded(b);
  };
  std::stable_sort(entries.begin(), entries.end(), byName);
  std::wstring block;
  for (const auto& e : entries) block += e + L'\0';
  return block + L'\0';
}

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
};

// A pipe of which only the child's end is inherited: the read end when
// `childReads`.
Pipe MakePipe(bool childReads) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Pipe pipe;
  if (!CreatePipe(&pipe.read, &pipe.write, &inherit, 1 << 16))
    throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(childReads ? pipe.write : pipe.read, HANDLE_FLAG_INHERIT, 0);
  return pipe;
}

void ReadAll(HANDLE from, std::string& into) {
  char buf[65536];
  DWORD n = 0;
  while (::ReadFile(from, buf, sizeof buf, &n, nullptr) && n > 0) into.append(buf, n);
}

}  // namespace

RunResult RunQuorvid(const std::vector<std::string>& args, const RunOptions& options) {
  std::wstring commandLine = Quoted(Wide(QuorvidBinary()));
  for (const auto& a : args) commandLine += L" " + Quoted(Wide(a));
  // TZ sets the zone Wine gives the program. LC_ALL stays as it is: Wine
  // writes file names in its character set, and the C locale's would mangle
  // every name outside ASCII.
  std::wstring env =
      EnvironmentBlock(ChildEnvironment(ProcessEnvironment(), {"TZ=UTC"}, options.extraEnv));
  const std::wstring workDir = Wide(options.workDir);

  Pipe in = MakePipe(true), out = MakePipe(false), err = MakePipe(false);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.read;
  startup.hStdOutput = out.write;
  startup.hStdError = err.write;
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                     CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, env.data(),
                     workDir.empty() ? nullptr : workDir.c_str(), &startup, &process);
  // Only the child may hold its ends, so that the reads below see the end.
  CloseHandle(in.read);
  CloseHandle(out.write);
  CloseHandle(err.write);
  RunResult result;
  if (!started) {
    CloseHandle(in.write);
    CloseHandle(out.read);
    CloseHandle(err.read);
    result.exitCode = 127;  // as the POSIX side reports a program that did not start
    return result;
  }
  // Standard input is fed and standard error drained beside the reader of
  // standard output, so no pipe fills up while another is waited on.
  std::thread feeder([&] {
    DWORD written = 0;
    if (!options.stdinText.empty())
      ::WriteFile(in.write, options.stdinText.data(),
                  static_cast<DWORD>(options.stdinText.size()), &written, nullptr);
    CloseHandle(in.write);
  });
  std::thread errors([&] { ReadAll(err.read, result.err); });
  ReadAll(out.read, result.out);
  errors.join();
  feeder.join();
  CloseHandle(out.read);
  CloseHandle(err.read);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.exitCode = static_cast<int>(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

TempDir::TempDir() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD size = GetTempPathW(MAX_PATH + 1, temp);
  if (size == 0 || size > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
  std::string base = Utf8(temp);
  std::replace(base.begin(), base.end(), '\\', '/');
  // The process id and a count tell apart the folders of runs side by side.
  static std::atomic<unsigned> count{0};
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string path = base + "quorvid-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(count++);
    if (CreateDirectoryW(Wide(path).c_str(), nullptr)) {
      path_ = path;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("CreateDirectoryW failed");
}

int ThreadAllowedProcessors() {
  DWORD_PTR process = 0, system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return 0;
  return std::popcount(static_cast<unsigned long long>(process));
}

bool OnWindows() { return true; }

bool MakeFifo(const std::string&) { return false; }

// Through the C runtime, which passes the change on to the system's copy.
void SetEnv(const std::string& name, const std::string& value) {
  _wputenv_s(Wide(name).c_str(), Wide(value).c_str());
}

void UnsetEnv(const std::string& name) { _wputenv_s(Wide(name).c_str(), L""); }

std::string LineEnd() { return "\r\n"; }

std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace quorvid::test
