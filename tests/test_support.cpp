// The helpers that are the same on every system; test_support_posix.cpp and
// test_support_win.cpp hold the rest.
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvid::test {

namespace fs = std::filesystem;

namespace {

// Names in the tests are UTF-8, whatever the system's narrow code page.
fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::vector<std::string> SplitAt(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t at = text.find(end, start);
    if (at == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, at - start));
    start = at + end.size();
  }
  return lines;
}

}  // namespace

// Absolute with its drive on Windows: a run in another folder, perhaps on
// another drive, must still find them.
std::string QuorvidBinary() {
  static const std::string binary = fs::absolute(QUORVID_BINARY).generic_string();
  return binary;
}

std::string TestDataPath(const std::string& relative) {
  static const std::string data = fs::absolute(QUORVID_TEST_DATA).generic_string();
  return data + "/" + relative;
}

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& current,
                                          const std::vector<std::string>& defaults,
                                          const std::vector<std::string>& extra) {
  const auto names = [](const std::vector<std::string>& entries, const std::string& entry) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const std::string& e) { return NameOf(e) == NameOf(entry); });
  };
  std::vector<std::string> env;
  for (const auto& entry : current)
    if (!names(defaults, entry) && !names(extra, entry)) env.push_back(entry);
  for (const auto& entry : defaults)
    if (!names(extra, entry)) env.push_back(entry);
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(PathOf(path_), ec);
}

void WriteFile(const std::string& path, const std::string& content) {
  const fs::path p = PathOf(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
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

std::vector<std::string> SplitLines(const std::string& text) { return SplitAt(text, "\n"); }

std::vector<std::string> OutputLines(const std::string& text) { return SplitAt(text, LineEnd()); }

}  // namespace quorvid::test
