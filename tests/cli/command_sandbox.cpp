#include "cli/command_sandbox.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>

#include "servers/test_http_server.h"

namespace quorvid::test {

namespace fs = std::filesystem;

namespace {

// The contents the sandbox gives a file a command verifies, and the digests
// OpenSSL knows for them: a hash written in a command is one of these.
const char* const kContents[] = {"", "hello\n"};
const char* const kDigests[] = {"MD5",      "SHA1",     "SHA256",     "SHA384",    "SHA512",
                                "SHA3-256", "SHA3-384", "SHA3-512",   "BLAKE2s256", "BLAKE2b512"};

std::string HexDigest(const char* digest, const std::string& data) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  const EVP_MD* md = EVP_get_digestbyname(digest);
  if (md == nullptr || EVP_Digest(data.data(), data.size(), out, &size, md, nullptr) != 1) return "";
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[out[i] >> 4];
    hex += kHex[out[i] & 15];
  }
  return hex;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool IsHex(const std::string& word) {
  return word.size() >= 8 && std::all_of(word.begin(), word.end(), [](unsigned char c) {
           return std::isxdigit(c) != 0;
         });
}

bool IsUrl(const std::string& word) { return std::regex_search(word, std::regex("^https?://")); }

// What an option word is, for the values that follow it.
bool Is(const std::string& word, std::initializer_list<const char*> forms) {
  const std::string lower = Lower(word);
  return std::any_of(forms.begin(), forms.end(), [&](const char* f) { return lower == f; });
}

bool IsOptionWord(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

// A checksum list in the form sha256sum and md5sum write, naming the
// contents a sandbox file may have.
std::string SampleList() {
  std::string list;
  for (const char* digest : {"SHA256", "MD5"}) {
    list += HexDigest(digest, kContents[0]) + "  empty.bin\n";
    list += HexDigest(digest, kContents[1]) + "  a.txt\n";
  }
  return list;
}

// A list in the form -g writes and -x reads.
std::string SampleCheckList() {
  return HexDigest("SHA256", kContents[0]) + " ?SHA256*empty.bin\n" +
         HexDigest("SHA256", kContents[1]) + " ?SHA256*a.txt\n";
}

void Write(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  WriteFile(path, content);
}

void MakeFileIfMissing(const std::string& path, const std::string& content) {
  if (!fs::exists(path)) Write(path, content);
}

// A folder with files of the kinds the documents' wildcards look for.
void MakeFolderIfMissing(const std::string& path) {
  if (fs::exists(path)) return;
  fs::create_directories(path);
  for (const char* name : {"a.txt", "b.sh", "c.so", "d.a", "e.h", "f.iso", "sub/g.pdf", "sub/h.img"})
    Write(path + "/" + name, std::string(name) + "\n");
  Write(path + "/empty.bin", "");
}

}  // namespace

std::vector<std::string> ShellWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\'' || c == '"') {
      const size_t end = line.find(c, i + 1);
      if (end == std::string::npos) break;  // an open quote: what came before is the command
      word += line.substr(i + 1, end - i - 1);
      inWord = true;
      i = end;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else if (std::string_view("|;&<>").find(c) != std::string_view::npos ||
               (c == '#' && !inWord)) {
      // "2>" is a redirection, not the word "2".
      if (c == '>' && word == "2") inWord = false;
      break;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::vector<std::string> CommandsInCodeBlocks(const std::string& text, const std::string& name) {
  std::vector<std::string> commands;
  bool inBlock = false;
  for (const std::string& line : SplitLines(text)) {
    if (line.rfind("```", 0) == 0) {
      inBlock = !inBlock;
      continue;
    }
    if (inBlock && line.rfind(name + " ", 0) == 0) commands.push_back(line);
  }
  return commands;
}

bool IsRunOutcome(int exitCode) {
  return (exitCode >= 0 && exitCode <= 7) || exitCode == 77 || exitCode == 98 || exitCode == 119 ||
         exitCode == 251 || exitCode == 255;
}

bool VerifiesAgainstWrittenHash(const std::vector<std::string>& words) {
  for (size_t i = 0; i + 2 < words.size(); ++i)
    if (Is(words[i], {"-y", "--verify"}) && IsHex(words[i + 2])) return true;
  return false;
}

struct CommandSandbox::Server {
  TestHttpServer http{[](Exchange& x) { x.Send(OkResponse(SampleList())); }};
};

CommandSandbox::CommandSandbox() : server_(std::make_unique<Server>()) {
  fs::create_directories(root_ / "work");
  fs::create_directories(root_ / "home");
  fs::create_directories(root_ / "tmp");
}

CommandSandbox::~CommandSandbox() = default;

std::string CommandSandbox::Map(const std::string& word) const {
  if (word == "~") return root_ / "home";
  if (word.rfind("~/", 0) == 0) return root_ / ("home" + word.substr(1));
  if (word.rfind("/dev/", 0) == 0) return word;
  if (word.rfind("/", 0) == 0) return root_.path() + word;
  std::smatch url;
  if (std::regex_match(word, url, std::regex(R"(^https?://[^/]+(/.*)?$)")))
    return server_->http.Url(url[1].matched ? url[1].str() : "/");
  // An inline value: --out=/tmp/list.txt.
  const size_t equals = word.find('=');
  if (IsOptionWord(word) && equals != std::string::npos)
    return word.substr(0, equals + 1) + Map(word.substr(equals + 1));
  return word;
}

std::vector<std::string> CommandSandbox::Arguments(const std::vector<std::string>& words) const {
  std::vector<std::string> args;
  for (const auto& w : words) args.push_back(Map(w));
  return args;
}

void CommandSandbox::MakeInputs(const std::vector<std::string>& args) {
  const std::string work = root_ / "work";
  // Relative names are read from the working folder.
  auto at = [&](const std::string& path) { return path.rfind("/", 0) == 0 ? path : work + "/" + path; };
  auto value = [&](size_t i) -> std::string {
    return i < args.size() && !IsOptionWord(args[i]) ? args[i] : std::string();
  };
  const bool base64File = std::any_of(args.begin(), args.end(), [](const std::string& w) {
    return Is(w, {"--file", "--use-file"});
  });

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    const std::string first = value(i + 1), second = first.empty() ? "" : value(i + 2);
    if (Is(option, {"-d", "--dir"}) && !first.empty()) {
      MakeFolderIfMissing(at(first));
    } else if (Is(option, {"-x", "--check", "--validate", "--vm", "--verify-many"})) {
      const bool checkList = Is(option, {"-x", "--check", "--validate"});
      if (!first.empty()) MakeFileIfMissing(at(first), checkList ? SampleCheckList() : SampleList());
      if (!second.empty()) MakeFolderIfMissing(at(second));
    } else if (Is(option, {"-o", "--out", "-g", "--generate-list", "-u", "--summary"}) &&
               !first.empty()) {
      fs::create_directories(fs::path(at(first)).parent_path());
    } else if (Is(option, {"-k", "--compare"})) {
      if (!first.empty()) MakeFileIfMissing(at(first), "same\n");
      if (!second.empty()) MakeFileIfMissing(at(second), "same\n");
    } else if (Is(option, {"-e", "--exc"}) && !first.empty()) {
      MakeFileIfMissing(at(first), "no-such-name\n");
    } else if (Is(option, {"-y", "--verify"}) && !first.empty()) {
      if (IsHex(second)) {
        // The file gets the content whose digest the command writes.
        std::string content = kContents[0];
        for (const char* c : kContents)
          for (const char* d : kDigests)
            if (HexDigest(d, c) == Lower(second)) content = c;
        Write(at(first), content);
      } else {
        MakeFileIfMissing(at(first), kContents[0]);
        if (!second.empty() && !IsUrl(second)) MakeFileIfMissing(at(second), SampleList());
      }
    } else if (Is(option, {"--hl", "--hash-lookup"}) && !first.empty() && !IsHex(first) &&
               !IsUrl(first)) {
      MakeFileIfMissing(at(first), SampleList());
    } else if (base64File && !first.empty()) {
      if (Is(option, {"--e64", "--encode64"})) MakeFileIfMissing(at(first), "hello\n");
      if (Is(option, {"--d64", "--decode64"})) MakeFileIfMissing(at(first), "aGVsbG8K\n");
    }
  }
}

RunResult CommandSandbox::Run(const std::vector<std::string>& words) {
  const std::vector<std::string> args = Arguments(words);
  MakeInputs(args);
  RunOptions options;
  options.workDir = root_ / "work";
  options.extraEnv = {"HOME=" + root_ / "home", "TEMP=" + root_ / "tmp"};
  return RunQuorvid(args, options);
}

}  // namespace quorvid::test
