// --e64 / --d64 through the real program; on POSIX also checked against
// coreutils' base64.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace quorvid {
namespace {

using test::LineEnd;
using test::ReadFile;
using test::RunQuorvid;
using test::RunResult;
using test::TempDir;
using test::WriteFile;

const std::string kSentence = "I really love this utility!!";
const std::string kSentenceBase64 = "SSByZWFsbHkgbG92ZSB0aGlzIHV0aWxpdHkhIQ==";

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 engine(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(engine() & 0xFF);
  return bytes;
}

// coreutils' encoding of a file; "-w 0" gives our format (one unbroken
// text), the default its 76-column layout.
std::string Coreutils(const std::string& options, const std::string& input, const TempDir& dir) {
  const std::string out = dir / "coreutils.out";
  const std::string command = "base64 " + options + " '" + input + "' > '" + out + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return ReadFile(out);
}

// Base64 text in lines of 76 characters, each ended by LF: the MIME layout
// (and coreutils' default) that decoding must accept.
std::string Wrapped76(const std::string& text) {
  std::string wrapped;
  for (size_t at = 0; at < text.size(); at += 76) wrapped += text.substr(at, 76) + "\n";
  return wrapped;
}

// Bytes shown as text lines: CR LF, CR and LF each end a line, written with
// the program's line end; the last line is ended.
std::string AsTextLines(const std::string& bytes) {
  std::string text;
  bool lineOpen = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      text += LineEnd();
      lineOpen = false;
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      text += bytes[i];
      lineOpen = true;
    }
  }
  if (lineOpen) text += LineEnd();
  return text;
}

std::string Progress(const std::string& verb, const std::string& name) {
  return verb + " \"" + name + "\" ... Done" + LineEnd();
}

// What the program writes to the screen around a text: an empty line before,
// the line end after.
std::string OnScreen(const std::string& text) { return LineEnd() + text + LineEnd(); }

TEST(Base64TextCommand, SentenceBothWays) {
  RunResult encoded = RunQuorvid({"--e64", kSentence});
  EXPECT_EQ(encoded.exitCode, 0);
  EXPECT_EQ(encoded.out, kSentenceBase64 + LineEnd());
  EXPECT_EQ(encoded.err, "");

  RunResult decoded = RunQuorvid({"--decode64", kSentenceBase64});
  EXPECT_EQ(decoded.exitCode, 0);
  EXPECT_EQ(decoded.out, kSentence + LineEnd());
}

TEST(Base64TextCommand, LenientDecoding) {
  EXPECT_EQ(RunQuorvid({"--d64", "YQ"}).out, "a" + LineEnd());
  EXPECT_EQ(RunQuorvid({"--d64", "YWI"}).out, "ab" + LineEnd());
  EXPECT_EQ(RunQuorvid({"--d64", "SSBy ZWFs\nbHkg bG92 ZSB0\r\naGlz IHV0 aWxp dHkh IQ=="}).out,
            kSentence + LineEnd());
  EXPECT_EQ(RunQuorvid({"--d64", "YQ==YWJj"}).out, "a" + LineEnd());
  EXPECT_EQ(RunQuorvid({"--d64", "!*!"}).out, LineEnd());
}

TEST(Base64TextCommand, EncodeWinsOverDecode) {
  EXPECT_EQ(RunQuorvid({"--d64", kSentenceBase64, "--e64", kSentence}).out,
            kSentenceBase64 + LineEnd());
}

TEST(Base64TextCommand, OutputFileAndTee) {
  TempDir dir;
  RunResult plain = RunQuorvid({"--e64", kSentence, "-o", dir / "out.txt"});
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_EQ(plain.out, "");
  EXPECT_EQ(ReadFile(dir / "out.txt"), kSentenceBase64 + LineEnd());

  RunResult tee = RunQuorvid({"--d64", kSentenceBase64, "-t", "-o", dir / "out.txt"});
  EXPECT_EQ(tee.out, kSentence + LineEnd());
  EXPECT_EQ(ReadFile(dir / "out.txt"), kSentence + LineEnd());
}

TEST(Base64Errors, MissingValuesAndFiles) {
  TempDir dir;
  RunResult noFileName = RunQuorvid({"--file", "--e64"});
  EXPECT_EQ(noFileName.exitCode, 121);
  EXPECT_NE(noFileName.err.find("ERROR: No filename was provided with (--e64|--encode64)"), std::string::npos);

  RunResult noText = RunQuorvid({"--d64"});
  EXPECT_EQ(noText.exitCode, 120);
  EXPECT_NE(noText.err.find("ERROR: No text input was provided with (--d64|--decode64)"), std::string::npos);

  RunResult missing = RunQuorvid({"--e64", dir / "nosuchfile", "--file"});
  EXPECT_EQ(missing.exitCode, 71);
  EXPECT_NE(missing.err.find("ERROR: Could not access file: \"" + (dir / "nosuchfile") + "\""), std::string::npos);
  EXPECT_EQ(missing.out, "");

  // A folder is no file; "--file" taken as the value names no file either.
  EXPECT_EQ(RunQuorvid({"--d64", dir.path(), "--file"}).exitCode, 71);
  test::RunOptions inDir;
  inDir.workDir = dir.path();
  EXPECT_EQ(RunQuorvid({"--e64", "--file"}, inDir).exitCode, 71);
}

TEST(Base64Errors, UnreadableFileIsReported) {
  if (test::OnWindows()) GTEST_SKIP() << "no /proc on Windows";
  // Root reads everything; a read that fails does not depend on permissions.
  RunResult result = RunQuorvid({"--e64", "/proc/self/mem", "--file"});
  EXPECT_EQ(result.exitCode, 71);
  EXPECT_NE(result.err.find("File handling error occurred with \"/proc/self/mem\" -- "), std::string::npos);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("Reading \"/proc/self/mem\" ", 0), 0u) << result.err;
}

TEST(Base64Errors, OutputThatIsTheInputIsRefusedAndKept) {
  // Opening -o would truncate the input before it is read; the file must survive.
  TempDir dir;
  WriteFile(dir / "data.txt", "keep me");
  for (const char* option : {"--e64", "--d64"}) {
    RunResult same = RunQuorvid({option, dir / "data.txt", "--file", "-o", dir / "data.txt"});
    EXPECT_EQ(same.exitCode, 106) << option;
    EXPECT_NE(same.err.find("ERROR: The output file is the input file: \"" + (dir / "data.txt") + "\""),
              std::string::npos);
    EXPECT_EQ(ReadFile(dir / "data.txt"), "keep me") << option;
  }
  // Another name for the same file counts too.
  RunResult linked = RunQuorvid({"--e64", dir / "data.txt", "--file", "-o", dir.path() + "/./data.txt", "--lm"});
  EXPECT_EQ(linked.exitCode, 72);
  EXPECT_EQ(ReadFile(dir / "data.txt"), "keep me");
}

// Every file form, for sizes around the group boundaries and a large file.
class Base64Files : public ::testing::TestWithParam<size_t> {};

TEST_P(Base64Files, RoundTripsInEveryForm) {
  TempDir dir;
  const size_t size = GetParam();
  const std::string bytes = RandomBytes(size, 20240 + static_cast<unsigned>(size));
  const std::string input = dir / "input.bin";
  WriteFile(input, bytes);

  // Encode to a file: one unbroken text, progress on the console.
  const std::string encoded = dir / "encoded.txt";
  RunResult toFile = RunQuorvid({"--e64", input, "--file", "-o", encoded});
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(toFile.err, Progress("Reading", input) + Progress("Writing", encoded));
  const std::string text = ReadFile(encoded);
  ASSERT_EQ(text.size(), (size + 2) / 3 * 4);
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
  EXPECT_EQ(text.find_first_not_of(alphabet), std::string::npos);

  // Encode to the screen: the same text between an empty line and a line end.
  RunResult toScreen = RunQuorvid({"--e64", input, "--file"});
  EXPECT_EQ(toScreen.exitCode, 0);
  // Status lines go to standard error, so standard output holds the text alone.
  EXPECT_TRUE(toScreen.out == OnScreen(text));
  EXPECT_EQ(toScreen.err, Progress("Reading", input));

  // Decode our text and the 76-column layout back to the bytes.
  const std::string decoded = dir / "decoded.bin";
  RunResult back = RunQuorvid({"--d64", encoded, "--file", "-o", decoded});
  EXPECT_EQ(back.exitCode, 0);
  EXPECT_EQ(back.out, "");
  EXPECT_EQ(back.err, Progress("Reading", encoded) + Progress("Writing", decoded));
  EXPECT_TRUE(ReadFile(decoded) == bytes);

  const std::string wrapped = dir / "wrapped.txt";
  WriteFile(wrapped, Wrapped76(text));
  EXPECT_EQ(RunQuorvid({"--d64", wrapped, "--file", "-o", decoded}).exitCode, 0);
  EXPECT_TRUE(ReadFile(decoded) == bytes);

  // Decode to the screen: the bytes as text lines, between an empty line and one more.
  RunResult shown = RunQuorvid({"--d64", wrapped, "--file"});
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_TRUE(shown.out == OnScreen(AsTextLines(bytes)));
  EXPECT_EQ(shown.err, Progress("Reading", wrapped));
}

const size_t kSizes[] = {0, 1, 2, 3, 1000, 3 * 1024 * 1024};
INSTANTIATE_TEST_SUITE_P(Sizes, Base64Files, ::testing::ValuesIn(kSizes));

TEST(Base64Reference, TextIsCoreutilsTextInBothLayouts) {
  if (test::OnWindows()) GTEST_SKIP() << "no coreutils base64 on Windows to compare with";
  TempDir dir;
  for (const size_t size : kSizes) {
    const std::string bytes = RandomBytes(size, 20240 + static_cast<unsigned>(size));
    const std::string input = dir / "input.bin";
    const std::string encoded = dir / "encoded.txt";
    WriteFile(input, bytes);
    ASSERT_EQ(RunQuorvid({"--e64", input, "--file", "-o", encoded}).exitCode, 0) << size;
    const std::string text = ReadFile(encoded);
    EXPECT_TRUE(text == Coreutils("-w 0", input, dir)) << size << " bytes";
    // Wrapped76 is coreutils' default layout, which the round trips decode.
    EXPECT_TRUE(Wrapped76(text) == Coreutils("", input, dir)) << size << " bytes";
    // coreutils reads our text back too.
    EXPECT_TRUE(Coreutils("-d", encoded, dir) == bytes) << size << " bytes";
  }
}

TEST(Base64FileForms, PaddingOfSmallFiles) {
  TempDir dir;
  const std::vector<std::pair<std::string, std::string>> cases = {{"a", "YQ=="}, {"ab", "YWI="}, {"abc", "YWJj"}};
  for (const auto& [content, text] : cases) {
    WriteFile(dir / "in.txt", content);
    EXPECT_EQ(RunQuorvid({"--e64", dir / "in.txt", "--file"}).out, OnScreen(text));
    RunQuorvid({"--e64", dir / "in.txt", "--file", "-o", dir / "out.txt"});
    EXPECT_EQ(ReadFile(dir / "out.txt"), text);
  }
}

TEST(Base64FileForms, EmptyFileToTheScreen) {
  TempDir dir;
  WriteFile(dir / "empty", "");
  EXPECT_EQ(RunQuorvid({"--e64", dir / "empty", "--file"}).out, OnScreen(""));
  EXPECT_EQ(RunQuorvid({"--d64", dir / "empty", "--file"}).out, OnScreen(""));
}

TEST(Base64FileForms, UnpaddedTailOfAFileIsDropped) {
  TempDir dir;
  WriteFile(dir / "in.txt", "YWJj\r\nYQ");
  RunQuorvid({"--d64", dir / "in.txt", "--file", "-o", dir / "out.bin"});
  EXPECT_EQ(ReadFile(dir / "out.bin"), "abc");
  EXPECT_EQ(RunQuorvid({"--d64", dir / "in.txt", "--file"}).out, OnScreen("abc" + LineEnd()));
  // The same text on the command line is completed with "=" and keeps it.
  EXPECT_EQ(RunQuorvid({"--d64", "YWJjYQ"}).out, "abca" + LineEnd());

  WriteFile(dir / "padded.txt", "YWJj\nYWI=\nYWJj\n");
  RunQuorvid({"--d64", dir / "padded.txt", "--file", "-o", dir / "out.bin"});
  EXPECT_EQ(ReadFile(dir / "out.bin"), "abcab");
}

TEST(Base64FileForms, OutputFileIsReplacedEvenWithAppend) {
  TempDir dir;
  WriteFile(dir / "in.txt", "abc");
  WriteFile(dir / "out.txt", "old content that must go\n");
  RunResult result = RunQuorvid({"-a", "--e64", dir / "in.txt", "--file", "-o", dir / "out.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "out.txt"), "YWJj");
  EXPECT_EQ(result.err, Progress("Reading", dir / "in.txt") + Progress("Writing", dir / "out.txt"));
}

TEST(Base64FileForms, TeeShowsTheWrittenFile) {
  TempDir dir;
  WriteFile(dir / "in.txt", kSentence);
  RunResult encode = RunQuorvid({"--e64", dir / "in.txt", "--file", "-t", "-o", dir / "out.txt"});
  EXPECT_EQ(encode.out, OnScreen(kSentenceBase64 + LineEnd()));
  EXPECT_EQ(encode.err, Progress("Reading", dir / "in.txt") + Progress("Writing", dir / "out.txt"));

  WriteFile(dir / "lines.txt", "bGluZSBvbmUNCmxpbmUgdHdv");  // "line one\r\nline two"
  RunResult decode = RunQuorvid({"--d64", dir / "lines.txt", "--file", "--tee", "-o", dir / "out.txt"});
  EXPECT_EQ(ReadFile(dir / "out.txt"), "line one\r\nline two");
  EXPECT_EQ(decode.out, OnScreen("line one" + LineEnd() + "line two" + LineEnd()));
}

TEST(Base64FileForms, LargeFilesStreamInBoundedMemory) {
  if (test::OnWindows()) GTEST_SKIP() << "the address-space limit needs ulimit in a POSIX shell";
  // 48 MiB in and 64 MiB out under a 32 MiB address-space limit: only streaming fits.
  TempDir dir;
  const std::string big = dir / "big.bin";
  const std::string encoded = dir / "big.b64";
  const std::string back = dir / "back.bin";
  ASSERT_EQ(std::system(("head -c 50331648 /dev/urandom > '" + big + "'").c_str()), 0);
  const std::string quorvid = test::QuorvidBinary();
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer runtime reserves terabytes of address space for its shadow,
  // so the limit is checked in the plain build only; the round trip still is.
  const std::string limit = "true";
#else
  const std::string limit = "ulimit -v 32768";
#endif
  const std::string command = limit + " && '" + quorvid + "' --e64 '" + big + "' --file -o '" + encoded +
                              "' >/dev/null && '" + quorvid + "' --d64 '" + encoded + "' --file -o '" + back +
                              "' >/dev/null";
  ASSERT_EQ(std::system(("bash -c \"" + command + "\"").c_str()), 0);
  EXPECT_EQ(std::system(("base64 -w 0 '" + big + "' | cmp -s - '" + encoded + "'").c_str()), 0);
  EXPECT_EQ(std::system(("cmp -s '" + big + "' '" + back + "'").c_str()), 0);
}

}  // namespace
}  // namespace quorvid
